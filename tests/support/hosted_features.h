#pragma once

// The features the main window hosts, on a stand-in for it, each handed what
// the window hands it and routed as the window routes them; the list box of
// titles is the stand-in's, filled by the finder as the window's is. What the hotkeys tell and save
// is kept.

#include <windows.h>

#include <string>
#include <vector>

#include "app/editing/macro_editing_win32.h"  // with the file, the hotkeys and the notices
#include "app/finding/macro_finder_win32.h"
#include "app/saying/macro_saying_win32.h"
#include "support/host_window.h"
#include "support/temp_dir.h"

namespace kiv::test {

class HostedFeatures {
  public:
    enum : UINT { kShowNotices = WM_APP + 1, kFileChanged, kReadingDone };
    enum : UINT_PTR { kWaitTimer = 7, kCounterTimer = 8 };

    HostedFeatures() {
        const HWND window = host.Handle();
        const auto holds = [this] { return held; };
        const auto selected = [this] {
            const std::optional<std::size_t> macro = titles.SelectedMacro();
            return macro ? static_cast<int>(*macro) : -1;
        };
        titles.Attach(list);
        finder.Create({.window = window,
                       .instance = GetModuleHandleW(nullptr),
                       .titles = &titles,
                       .layOut = {},
                       .say = [this] { saying.Say(); },
                       .rowsChanged = {},
                       .readings =
                           [this](const MacroList& macros) {
                               return readingsOf ? readingsOf(macros) : std::vector<MacroReading>{};
                           },
                       .findingBegun = {}});
        notices.Attach({window, u"", u"", [] { return false; }, {}, {}, {}, {}}, kShowNotices);
        file.Attach(
            {.window = window,
             .changedMessage = kFileChanged,
             .readingDoneMessage = kReadingDone,
             .settleTimer = 1,
             .readingTimer = 2,
             .holds = holds,
             .selected = selected,
             .show = [this](
                         const MacroList& shown, std::optional<int> select, ListCame came,
                         std::optional<std::size_t> top) { finder.Show(shown, select, came, top); },
             .topMacro = [this] { return titles.TopMacro(); },
             .loaded = [this](const std::u16string& path) { editing.Start(file, path); },
             .titlesChanged = [this] { keys.Register(); },
             .notices = &notices});
        options.SetSave([this] { saved.push_back(keys.MacroKeys()); });
        keys.Attach({.window = window,
                     .instance = GetModuleHandleW(nullptr),
                     .options = &options,
                     .hasMacroTitled =
                         [this](std::u16string_view title) {
                             return file.List().FirstTitled(title).has_value();
                         },
                     .tabsOpen = {},
                     .notify = [this](Notice notice) { told.push_back(std::move(notice)); },
                     .save = [this] { saved.push_back(keys.MacroKeys()); }});
        saying.Attach({window,
                       list,
                       &titles,
                       [this]() -> const MacroList& { return file.List(); },
                       [this](Macro macro) {
                           if (sayingFrom) return sayingFrom(std::move(macro));
                           return TabMacro{std::move(macro), {}, {}, {}, 0};
                       },
                       [this](const std::u16string& title) -> std::optional<TabMacro> {
                           const auto position = file.List().FirstTitled(title);
                           if (!position) return std::nullopt;
                           return TabMacro{file.List().Item(*position), {}, {}, {}, 0};
                       },
                       &notices,
                       holds,
                       {},
                       &tip,
                       [this](const TabMacro& said) {
                           saidMacros.push_back(said);
                           tokens.Said({said.file, said.position}, said.macro);
                       },
                       &tokens,
                       kWaitTimer});
        tokens.Attach({.window = window,
                       .instance = GetModuleHandleW(nullptr),
                       .timer = kCounterTimer,
                       .listOf = [this](std::u16string_view path) -> const MacroList* {
                           return path == file.List().FileName() ? &file.List() : nullptr;
                       },
                       .save = [this] { countersSaved.push_back(tokens.Counters()); },
                       .showTool = {}});
        tip.Attach(list);
        editing.Attach({window, GetModuleHandleW(nullptr),
                        [this]() -> ShownMacroFile& { return file; }, &keys, &notices, selected});
        host.SetRoute([this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == kShowNotices) {
                notices.ShowWhenLooking();
            } else if (message == WM_COMMAND && finder.Handle(wParam)) {
            } else if (message == WM_TIMER) {
                if (!saying.HandleTimer(wParam) && !tokens.HandleTimer(wParam)) {
                    file.HandleTimer(wParam);
                }
            } else if (!file.Handle(message, wParam)) {
                return std::nullopt;
            }
            return 0;
        });
    }

    // `text` as the macro file and the keys as the settings file had them,
    // loaded as at start-up (which registers the keys).
    void Start(const std::string& text, Options startOptions = {}, MacroHotkeys macroKeys = {}) {
        WriteBytes(MacroFile(), text);
        options.Start(std::move(startOptions));
        keys.Start(std::move(macroKeys));
        file.LoadFirst(MacroFile().u16string(), MacroFile().u16string());
    }
    std::filesystem::path MacroFile() const { return dir.Path("chat.txt"); }
    int Selected() const { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }
    void Select(int entry) const {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    }
    std::vector<std::wstring> Titles() const {
        std::vector<std::wstring> titles;
        wchar_t text[256] = {};
        for (WPARAM i = 0; SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)) >= 0;
             ++i) {
            titles.emplace_back(text);
        }
        return titles;
    }

    // The window and its controls go first, while the features their
    // messages reach are still there.
    ~HostedFeatures() { host.Destroy(); }
    HostedFeatures(const HostedFeatures&) = delete;
    HostedFeatures& operator=(const HostedFeatures&) = delete;

    TempDir dir;
    HostWindow host;
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_NOTIFY, 0, 0, 200, 100,
                                host.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    Holds held;  // what the host's holds() reports
    // The tab a macro said from the list is said from (none: no tab's client).
    std::function<TabMacro(Macro)> sayingFrom;
    std::vector<TabMacro> saidMacros;  // each saying told as its first line went out
    // The readings the finder knows of (none: no input method).
    std::function<std::vector<MacroReading>(const MacroList&)> readingsOf;
    std::vector<Notice> told;                  // what the hotkeys had told
    std::vector<MacroHotkeys> saved;           // the macros' keys at each save
    std::vector<MacroCounters> countersSaved;  // the counts at each save
    ToolOptions options;
    NoticeBoard notices;
    BriefTip tip;
    TitleList titles;
    MacroFinder finder;
    ShownMacroFile file;
    HotkeyKeeper keys;
    MacroTokens tokens;
    MacroSaying saying;
    MacroEditing editing;
};

}  // namespace kiv::test

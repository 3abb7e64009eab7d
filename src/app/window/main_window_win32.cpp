#include "app/window/main_window_win32.h"

#include <algorithm>

#include "app/common/app_texts.h"
#include "app/common/tool_name.h"
#include "app/finding/title_list_win32.h"
#include "app/tokens/variables_dialog_win32.h"
#include "app/window/desktop_win32.h"
#include "app/window/startup_settings.h"
#include "app/window/tool_menu_win32.h"
#include "app/window/window_frame_win32.h"
#include "macro/message_preview.h"
#include "platform/case_fold.h"
#include "platform/owned_window_win32.h"
#include "platform/shell_win32.h"
#include "platform/single_copy_win32.h"
#include "platform/wide_text.h"
#include "platform/window_counts_win32.h"
#include "platform/workers_win32.h"

namespace kiv {
MainWindow::MainWindow(HINSTANCE instance, std::u16string programPath)
    : instance_(instance), programPath_(std::move(programPath)) {}

MainWindow::~MainWindow() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

bool MainWindow::Open(int show) {
    if (!Create()) return false;
    StartUp();
    ShowWindow(window_, show);
    UpdateWindow(window_);
    settling_ = false;
    // What start-up has to tell, now that there is a window and a taskbar
    // button to flash.
    notices_.UserMayLook();
    return true;
}

int MainWindow::Run(HINSTANCE instance, int show) {
    const std::u16string program = ProgramPath();
    // Before anything is read or written: a second copy over the same files
    // brings the first forward and ends.
    bool stuck = false;
    std::optional<SingleCopy> copy = SingleCopy::Take(IniFilePath(program), stuck);
    if (!copy) {
        if (stuck) {
            MessageBoxW(nullptr,
                        Wide(Fill(texts::kAnotherCopyStuck,
                                  {IniFilePath(program), std::u16string(FileNameOf(program))})),
                        kToolCaption, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        }
        return 0;
    }
    int exitCode = 1;
    {
        MainWindow main(instance, program);
        main.endsProgram_ = true;
        main.copy_ = &*copy;
        if (main.Open(show)) {
            MSG message{};
            while (GetMessageW(&message, nullptr, 0, 0) > 0) main.Dispatch(message);
            exitCode = static_cast<int>(message.wParam);
        }
    }
    // The settings are written: a copy started now is the one.
    copy->Release();
    // A reading or a look that a share which stopped answering still holds
    // would run on while static objects are torn down.
    EndWithWorkers(static_cast<UINT>(exitCode), kWorkersEndMs);
    return exitCode;
}

void MainWindow::Dispatch(MSG& message) {
    if (saying_.QueuedDuringDelivery(message) || MacroSaying::EnterHeld(message) ||
        palette_.PreTranslate(message) || (!finder_.Composing() && tabs_.PreTranslate(message)) ||
        finder_.PreTranslate(message) || menuKeys_.Translate(window_, message))
        return;
    // Tab moves between the controls, Enter presses "発言".
    if (IsDialogMessageW(window_, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool MainWindow::Create() {
    window_ = CreateMainWindow(instance_, Procedure, this);
    if (window_ == nullptr) return false;
    window_counts::MarkCodePage(window_);
    // At once: a second start meanwhile (a message at start-up may hold
    // this one) finds this window to bring forward.
    if (copy_ != nullptr) copy_->Mark(window_);
    AddToSystemMenu(window_, CurrentMenuState(), Submenus());
    AttachFeatures();
    SizeToDesign(window_);
    return true;
}

TabMacro MainWindow::SaidFrom(std::size_t tab, Macro macro) const {
    const Tab& from = tabs_.Tabs().Tabs()[tab];
    return {std::move(macro), TabLabel({from.path, {}}), from.client, {}, 0};
}

TabMacro MainWindow::SaidFrom(std::size_t tab, std::size_t position) const {
    TabMacro said = SaidFrom(tab, tabs_.ListOf(tab).Item(position));
    said.file = tabs_.ListOf(tab).FileName();
    said.position = position;
    return said;
}

// The features, each handed what only the window knows and does.
void MainWindow::AttachFeatures() {
    const auto holds = [this] { return HoldsNow(); };
    const auto selected = [this] { return Selected(); };
    notices_.Attach({.handle = window_,
                     .programPath = programPath_,
                     .settingsPath = IniFilePath(programPath_),
                     // Nor over a menu: the key meant for it would close the box.
                     .busy = [this] { return saying_.Delivering() || inMenu_; },
                     .saveSettings = [this] { SaveSettings(true); },
                     .releaseHotkeys = [this] { keys_.Release(); },
                     .registerHotkeys = [this] { keys_.Register(); },
                     .close =
                         [this] {
                             shutDown_ = true;  // saved already; the new copy takes over
                             DestroyWindow(window_);
                         }},
                    kShowNotices);
    options_.SetSave([this] { SaveHotkeySettings(); });
    keys_.Attach(
        {.window = window_,
         .instance = instance_,
         .options = &options_,
         .hasMacroTitled = [this](std::u16string_view title) { return tabs_.AnyHasTitle(title); },
         .tabsOpen = [this] { return tabs_.StripShown(); },
         .notify = [this](Notice notice) { notices_.Notify(std::move(notice)); },
         .save = [this] { SaveHotkeySettings(); }});
    saying_.Attach(
        {.window = window_,
         .list = list_,
         .titles = &titles_,
         .shownList = [this]() -> const MacroList& { return tabs_.Shown().List(); },
         .fromShownTab =
             [this](Macro macro) { return SaidFrom(tabs_.Tabs().Shown(), std::move(macro)); },
         .keyMacro = [this](const std::u16string& title) -> std::optional<TabMacro> {
             const auto found = tabs_.MacroForKey(title);
             if (!found) return std::nullopt;
             return SaidFrom(found->first, found->second);
         },
         .notices = &notices_,
         .holds = holds,
         .targetChosen = [this](const std::u16string& title) { options_.SetChosenClient(title); },
         .tip = &briefTip_,
         .said =
             [this](const TabMacro& said) {
                 palette_.Said(said.file, said.position);
                 // The hover preview shows the next count.
                 if (tokens_.Said({said.file, said.position}, said.macro)) tooltip_.Reset();
             },
         .tokens = &tokens_,
         .waitTimer = kWaitTimer});
    tokens_.Attach({.window = window_,
                    .instance = instance_,
                    .timer = kCounterTimer,
                    .listOf = [this](std::u16string_view path) -> const MacroList* {
                        for (std::size_t tab = 0; tab < tabs_.Tabs().Count(); ++tab) {
                            const MacroList& list = tabs_.ListOf(tab);
                            if (EqualIgnoringCase(list.FileName(), path)) return &list;
                        }
                        return nullptr;
                    },
                    .save = [this] { SaveCounterSettings(); },
                    .showTool =
                        [this] {
                            if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
                            SetForegroundWindow(window_);
                        }});
    palette_.Attach(
        {.instance = instance_,
         .window = window_,
         .timer = kPaletteTimer,
         .holds = holds,
         .tabCount = [this] { return tabs_.Tabs().Count(); },
         .listOf = [this](std::size_t tab) -> const MacroList& { return tabs_.ListOf(tab); },
         .tabName =
             [this](std::size_t tab) {
                 return TabLabel({tabs_.Tabs().Tabs()[tab].path, {}});
             },
         .cameFrom = [this](HWND inFront) { return saying_.ChatInputInFront(inFront); },
         .say =
             [this](PaletteMacro macro) {
                 return saying_.SayMacro(SaidFrom(macro.tab, macro.position));
             },
         .save = [this] { SavePaletteSettings(); },
         .showTool =
             [this] {
                 if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
                 SetForegroundWindow(window_);
             },
         .keySet =
             [this] {
                 return !options_.Current()
                             .hotkeys[static_cast<std::size_t>(HotkeyAction::Palette)]
                             .empty();
             },
         .readings =
             [this](const MacroList& list) {
                 if (readings_.Want()) finder_.ReadingsCame();
                 return readings_.Of(list);
             },
         .tokens = &tokens_});
    readings_.Attach(window_, kReadingsCame);
    briefTip_.Attach(list_);
    editing_.Attach({.window = window_,
                     .instance = instance_,
                     .file = [this]() -> ShownMacroFile& { return tabs_.Shown(); },
                     .keys = &keys_,
                     .notices = &notices_,
                     .selected = selected,
                     .tokens = &tokens_});
}

void MainWindow::CreateControls() {
    controls_.Create(window_, instance_);
    list_ = controls_.List();
    focus_.Start(window_, list_);
    tooltip_.Attach(list_, [this](int row) -> std::optional<std::u16string> {
        const MacroList& macros = tabs_.Shown().List();
        const std::optional<std::size_t> shown = titles_.Rows().MacroAt(row);
        if (!shown || *shown >= macros.Count()) return std::nullopt;
        const Macro macro = macros.Item(*shown + 1);
        FillContext context = tokens_.PreviewOf({macros.FileName(), *shown + 1});
        return MessagePreview(macro.Message(), macro.Title(), context);
    });
    titles_.Attach(list_);
    finder_.Create({.window = window_,
                    .instance = instance_,
                    .titles = &titles_,
                    .layOut = [this] { controls_.LayOut(window_, DpiOf(window_)); },
                    .say = [this] { saying_.Say(); },
                    .rowsChanged = [this] { tooltip_.Reset(); },
                    .readings = [this](const MacroList& list) { return readings_.Of(list); },
                    .findingBegun =
                        [this] {
                            if (readings_.Want()) finder_.ReadingsCame();
                        }});
    controls_.AddFindRow(finder_.Box(), finder_.CountLabel());
    tabs_.Create({.window = window_,
                  .instance = instance_,
                  .firstMessage = kTabMessages,
                  .firstTimer = kTabTimers,
                  .holds = [this] { return HoldsNow(); },
                  .titles = &titles_,
                  .finder = &finder_,
                  .notices = &notices_,
                  .tip = &briefTip_,
                  .loaded = [this](const ShownMacroFile& file,
                                   const std::u16string& path) { editing_.Start(file, path); },
                  .closed = [this](const ShownMacroFile& file) { editing_.Forget(file); },
                  .titlesChanged = [this] { keys_.Register(); },
                  .switched = [this] { tooltip_.Reset(); },
                  .stripMade = [this](HWND strip) { controls_.AddTabStrip(strip); },
                  .layOut = [this] { controls_.LayOut(window_, DpiOf(window_)); },
                  .save = [this] { SaveTabSettings(); },
                  .clientTitles = [this] { return saying_.RunningClientTitles(); }});
}

void MainWindow::StartUp() {
    const StartupSettings settings = ReadStartupSettings(
        IniFilePath(programPath_), GeometryOf(window_), DefaultMacroFilePath(programPath_));
    // Landing on a monitor of another DPI rescales the fonts and controls on
    // the way (WM_DPICHANGED, now or when the window is first shown); the
    // rectangle stays the stored one: settling_ holds until then.
    settling_ = true;
    PlaceWindow(window_, settings.geometry, kMainWindowStyle, kMainWindowExStyle, DpiOf(window_));
    options_.Start(settings.options);
    keys_.Start(settings.macroHotkeys);
    palette_.Start(settings.usage, settings.favourites, settings.paletteKept);
    tokens_.Start(settings.counters, settings.variables, settings.countersKept);
    if (!settings.options.client.empty()) saying_.ChooseRemembered(settings.options.client);
    if (options_.Current().topMost) SetTopMost(true);
    // A list read now registers the keys with its titles; otherwise (on a
    // share, or unreadable) the actions' keys are registered at once. Only
    // what is set: no hotkey is taken from other programs by default.
    const bool tabsKept = settings.tabs.has_value();
    tabs_.Start(tabsKept ? *settings.tabs : TabSet(settings.macroFile), tabsKept,
                settings.recentFiles, settings.encoding, DefaultMacroFilePath(programPath_));
    if (!tabs_.Shown().List().IsLoaded()) keys_.Register();
    if (settings.unreadable) {
        settingsUnread_ = true;
        notices_.Notify({NoticeKind::SettingsUnreadable, *settings.unreadable});
    } else if (auto notice =
                   UnsavableSettingsNotice(IniFilePath(programPath_), settings.encoding)) {
        settingsUnsavable_ = true;  // told once, not again at every close
        notices_.Notify({NoticeKind::SettingsUnsavable, std::move(*notice)});
    }
}

void MainWindow::ShutDown(bool tellUser) {
    if (shutDown_) return;
    shutDown_ = true;
    SaveSettings(tellUser);
}

bool MainWindow::SaveSettings(bool tellUser) {
    if (!IsWindow(window_)) return false;   // its place is gone with it
    if (!MayWriteSettings()) return false;  // told at start-up
    // A list that never loaded leaves the stored path for the next start.
    const std::u16string iniPath = IniFilePath(programPath_);
    const MacroList& shown = tabs_.Shown().List();
    const bool saved = WriteShutdownSettings(
        iniPath,
        {.geometry = GeometryOf(window_),
         .macroFile = shown.IsLoaded() ? std::optional(shown.FileName()) : std::nullopt,
         .options = options_.Current(),
         .optionsChanged = options_.Changed(),
         .macroHotkeys = keys_.MacroKeys(),
         .recentFiles = tabs_.RecentToKeep(),
         .tabs = tabs_.Kept() ? std::optional(tabs_.Tabs()) : std::nullopt,
         .usage = palette_.Kept() ? std::optional(palette_.Usage()) : std::nullopt,
         .favourites = palette_.Kept() ? std::optional(palette_.Favourites()) : std::nullopt,
         .counters = tokens_.CountersKept() ? std::optional(tokens_.Counters()) : std::nullopt});
    if (!saved && tellUser) {
        MessageBoxOverOwner(window_, Wide(SettingsNotSavedText(iniPath)), kToolCaption,
                            MB_OK | MB_ICONWARNING);
    }
    return saved;
}

// A failure is told at the close, which tries again with everything.
void MainWindow::SaveTabSettings() {
    if (!MayWriteSettings()) return;
    WriteTabSettings(IniFilePath(programPath_), tabs_.Tabs(), tabs_.Shown().List().IsLoaded());
}

void MainWindow::SaveHotkeySettings() {
    if (!MayWriteSettings()) return;
    WriteHotkeySettings(IniFilePath(programPath_), options_.Current(), options_.Changed(),
                        keys_.MacroKeys());
}

// A failure is told at the close, which tries again with everything.
void MainWindow::SaveCounterSettings() {
    if (!MayWriteSettings()) return;
    WriteCounterSettings(IniFilePath(programPath_), tokens_.Counters());
}

void MainWindow::EditVariables() {
    std::optional<MacroVariables> edited = kiv::EditVariables(
        window_, instance_, tokens_.Variables(), keys_.MacroKeys().SettingsEncoding());
    if (!edited || *edited == tokens_.Variables()) return;
    tokens_.SetVariables(std::move(*edited));
    tooltip_.Reset();  // a preview may show another value now
    if (MayWriteSettings() &&
        !WriteVariableSettings(IniFilePath(programPath_), tokens_.Variables())) {
        MessageBoxOverOwner(window_, Wide(SettingsNotSavedText(IniFilePath(programPath_))),
                            kToolCaption, MB_OK | MB_ICONWARNING);
    }
}

std::optional<MacroPlace> MainWindow::SelectedPlace() const {
    const int macro = Selected();
    const MacroList& shown = tabs_.Shown().List();
    if (macro < 0 || static_cast<std::size_t>(macro) >= shown.Count()) return std::nullopt;
    return MacroPlace{shown.FileName(), static_cast<std::size_t>(macro) + 1};
}

void MainWindow::SavePaletteSettings() {
    if (!MayWriteSettings()) return;
    WritePaletteSettings(IniFilePath(programPath_), palette_.Usage(), palette_.Favourites());
}

Holds MainWindow::HoldsNow() const {
    Holds holds;
    if (!IsWindowEnabled(window_)) holds = holds | Hold::Dialog;  // a dialog disables it
    if (inMenu_) holds = holds | Hold::Menu;
    if (saying_.Delivering()) holds = holds | Hold::Delivering;
    if (shutDown_) holds = holds | Hold::ShuttingDown;
    if (keys_.KeysFree()) holds = holds | Hold::KeysFree;
    if (tabs_.Reading()) holds = holds | Hold::Reading;
    return holds;
}

int MainWindow::Selected() const {
    const std::optional<std::size_t> macro = titles_.SelectedMacro();
    return macro ? static_cast<int>(*macro) : -1;
}

std::size_t MainWindow::Neighbour(int step) const {
    const auto row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    const std::optional<std::size_t> macro = titles_.Rows().MacroAt(row < 0 ? -1 : row + step);
    return macro ? *macro + 1 : 0;
}

MenuState MainWindow::CurrentMenuState() const {
    // On the rows shown, which are fewer while the user finds a macro.
    const int selected =
        list_ != nullptr ? static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)) : -1;
    const int count = static_cast<int>(titles_.Rows().Count());
    return {.topMost = options_.Current().topMost,
            .selected = (selected >= 0 && selected < count),
            .canMoveUp = (selected > 0 && selected < count),
            .canMoveDown = selected >= 0 && selected + 1 < count,
            .canUndo = editing_.CanUndo(),
            .favorite =
                Selected() >= 0 && palette_.IsFavourite(tabs_.Shown().List(),
                                                        static_cast<std::size_t>(Selected()) + 1),
            .hasUsage = palette_.HasUsage(),
            .hasCount = SelectedPlace() && tokens_.HasCount(*SelectedPlace())};
}

ToolSubmenus MainWindow::Submenus() {
    return {.recentFiles = tabs_.OfferRecent(), .sendTo = saying_.OfferClients()};
}

bool MainWindow::RunMenuId(std::uint32_t id) {
    if (const std::optional<MenuCommand> command = ToolMenuCommand(id)) {
        RunMenuCommand(*command);
        return true;
    }
    if (const std::optional<std::size_t> item = RecentFileItemIndex(id)) {
        tabs_.ChooseRecent(*item);
        return true;
    }
    if (id == kClearRecentFilesId) {
        tabs_.ClearRecent();
        return true;
    }
    if (const std::optional<std::size_t> item = SendToItemIndex(id)) {
        saying_.ChooseOffered(*item);
        return true;
    }
    return false;
}

void MainWindow::RunMenuCommand(MenuCommand command) {
    // Nothing that changes the list while a macro is said or a dialog is up,
    // nor an edit while the list is being read: it would act on a list about
    // to be replaced.
    const Holds holds = HoldsNow();
    if (holds.Any(Hold::Delivering | Hold::Dialog)) return;
    if (holds.Any(Hold::Reading) && IsEdit(command)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (!IsEnabled(command, CurrentMenuState())) return;  // its key, where the menu greys it
    switch (command) {
        case MenuCommand::Separator:
            return;
        case MenuCommand::TopMost: {
            const bool on = !options_.Current().topMost;
            SetTopMost(on);
            options_.SetTopMost(on);
            return;
        }
        case MenuCommand::HotkeySettings:
            return keys_.EditInDialog();
        case MenuCommand::EditMacroFile:
            return tabs_.Shown().OpenInEditor();
        case MenuCommand::OpenInNewTab:
            return tabs_.OpenInNewTab();
        case MenuCommand::NewMacro:
            return editing_.NewMacro();
        case MenuCommand::EditMacro:
            return editing_.EditMacro();
        case MenuCommand::DeleteMacro:
            return editing_.DeleteMacro();
        case MenuCommand::MoveUp:
            return editing_.Move(MacroChange::Kind::MoveUp, Neighbour(-1));
        case MenuCommand::MoveDown:
            return editing_.Move(MacroChange::Kind::MoveDown, Neighbour(1));
        case MenuCommand::Undo:
            return editing_.Undo();
        case MenuCommand::Favorite:
            if (Selected() >= 0) {
                palette_.ToggleFavourite(tabs_.Shown().List(),
                                         static_cast<std::size_t>(Selected()) + 1);
            }
            return;
        case MenuCommand::ClearUsage:
            if (notices_.AskYesNo(std::u16string(texts::kClearUsageAsk))) palette_.ClearUsage();
            return;
        case MenuCommand::ResetCount:
            if (const std::optional<MacroPlace> place = SelectedPlace()) {
                tokens_.ResetCount(*place);
                tooltip_.Reset();
            }
            return;
        case MenuCommand::Variables:
            return EditVariables();
    }
}

void MainWindow::ShowListMenu(LPARAM where) {
    const POINT at = ListMenuPlace(list_, where);
    // TrackPopupMenu with TPM_NONOTIFY sends no WM_ENTERMENULOOP: the window
    // marks the menu open itself, so that no reload refills the list under it.
    inMenu_ = true;
    const std::uint32_t chosen = ShowToolMenu(window_, at, CurrentMenuState(), Submenus());
    inMenu_ = false;
    notices_.UserMayLook();  // what came up under the menu
    RunMenuId(chosen);
}

void MainWindow::SetTopMost(bool on) {
    SetWindowPos(window_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->Handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (tabs_.Handle(message, wParam)) return 0;
    switch (message) {
        case WM_CREATE:
            CreateControls();
            return 0;
        case WM_SIZE:
            controls_.LayOut(window_, DpiOf(window_));
            return 0;
        case WM_DPICHANGED:
            controls_.UpdateFont(DpiOf(window_));
            tooltip_.DpiChanged();
            FollowDpiChange(window_, *reinterpret_cast<const RECT*>(lParam), settling_);
            controls_.LayOut(window_, DpiOf(window_));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                focus_.Remember();
            } else if (HIWORD(wParam) == 0) {  // not while minimised
                focus_.Restore();
                notices_.UserMayLook();
            }
            return 0;
        case WM_ACTIVATEAPP:
            // Brought forward where Windows did not let it take the
            // foreground at start: this, not an activation, may be the sign.
            if (wParam) notices_.UserMayLook();
            break;
        case WM_ENABLE:
            // Under a dialog or message box of its own the tool cannot act on
            // its hotkeys: they are the game's meanwhile, not swallowed.
            if (!wParam) {
                keys_.Release();
            } else if (!HoldsNow().Any(Hold::KeysFree | Hold::ShuttingDown)) {
                keys_.Register();
            }
            break;
        case WM_ENTERMENULOOP:
            inMenu_ = true;
            break;
        case WM_EXITMENULOOP:
            inMenu_ = false;
            notices_.UserMayLook();  // what came up under the menu
            break;
        case kShowNotices:
            notices_.ShowWhenLooking();
            return 0;
        case kReadingsCame:
            if (readings_.Take()) {
                finder_.ReadingsCame();
                palette_.ReadingsCame();
            }
            return 0;

        case WM_SETFOCUS:
            focus_.Restore();
            return 0;
        case WM_SYSCOMMAND:
            if (RunMenuId(static_cast<std::uint32_t>(wParam & 0xFFF0))) return 0;
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) != 0)
                UpdateSystemMenu(window_, CurrentMenuState(), Submenus());  // window menu
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == list_) {
                ShowListMenu(lParam);
                return 0;
            }
            if (reinterpret_cast<HWND>(wParam) == tabs_.Strip()) {
                // Marked open as the list's menu is; its command runs once it is gone.
                inMenu_ = true;
                const std::uint32_t chosen = tabs_.ShowMenu(tabs_.Strip(), lParam);
                inMenu_ = false;
                notices_.UserMayLook();
                tabs_.RunMenuId(chosen);
                return 0;
            }
            break;
        case WM_NOTIFY:
            if (const auto result = tabs_.Notify(*reinterpret_cast<const NMHDR*>(lParam))) {
                return *result;
            }
            break;
        case WM_TIMER:
            if (!palette_.HandleTimer(wParam) && !saying_.HandleTimer(wParam) &&
                !tokens_.HandleTimer(wParam)) {
                tabs_.HandleTimer(wParam);
            }
            return 0;
        case WM_DROPFILES:
            tabs_.Dropped(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_HOTKEY:
            if (const auto action = keys_.ActionOf(wParam)) {
                if (const int step = FileStepOf(*action)) {
                    tabs_.StepByHotkey(step);
                } else if (*action == HotkeyAction::Palette) {
                    palette_.Open();
                } else {
                    saying_.RunHotkey(*action);
                }
            }
            if (const auto title = keys_.MacroTitleOf(wParam)) saying_.SayTitled(*title);
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(WindowControls::kSay, DC_HASDEFID);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case WindowControls::kSay:
                    if (HIWORD(wParam) == BN_CLICKED) saying_.Say();
                    return 0;
                case WindowControls::kSayNext:
                    if (HIWORD(wParam) == BN_CLICKED) saying_.SayNext();
                    return 0;
                case WindowControls::kReload:
                    if (HIWORD(wParam) == BN_CLICKED) tabs_.ChooseInDialog();
                    return 0;
                case WindowControls::kList:
                    if (HIWORD(wParam) == LBN_DBLCLK) saying_.Say();
                    return 0;
                case MacroFinder::kBox:
                    finder_.Handle(wParam);
                    return 0;
                default:
                    if (const auto command = ToolMenuKeyCommand(LOWORD(wParam))) {
                        RunMenuCommand(*command);
                        return 0;
                    }
                    // A submenu's item: Wine sends a choice in the window
                    // menu's submenus as WM_COMMAND, Windows as WM_SYSCOMMAND.
                    if (lParam == 0 && HIWORD(wParam) == 0 && IsSubmenuItem(LOWORD(wParam))) {
                        RunMenuId(LOWORD(wParam));
                        return 0;
                    }
                    break;
            }
            break;
        case WM_CLOSE:
            // Not under a dialog or message box of ours: it returns to a window
            // that must still be there. (Windows itself keeps users from it.)
            if (HoldsNow().Any(Hold::Dialog)) return 0;
            // Saved while the window is still up, so that a failure can be told.
            ShutDown(true);
            DestroyWindow(window_);
            return 0;
        case WM_QUERYENDSESSION:
            // Not in the middle of writing the macro file: Windows shows the
            // reason given, and the user decides.
            return editing_.Writing() ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wParam) ShutDown(false);
            return 0;
        case WM_DESTROY:
            tabs_.Stop();  // nothing may be posted to a window that is gone
            window_counts::RemoveAll(window_);
            if (copy_ != nullptr) copy_->Unmark(window_);
            ShutDown(false);
            if (endsProgram_) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace kiv

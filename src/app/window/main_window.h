#pragma once

// The tool's only window: the list of macro titles and the buttons "発言",
// "発言して次へ" and "設定再読込". Windows only.

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>

#include "app/commands/tool_menu.h"
#include "app/editing/macro_dialog_win32.h"
#include "app/editing/macro_edit_session.h"
#include "app/hotkeys/hotkey_refusals.h"
#include "app/hotkeys/macro_hotkeys.h"
#include "app/hotkeys/tool_hotkeys_win32.h"
#include "app/macro_file/auto_reload.h"
#include "app/macro_file/file_watch_win32.h"
#include "app/macro_file/macro_file_reading_win32.h"
#include "app/notices/notice_port_win32.h"
#include "app/notices/notices.h"
#include "app/window/focus_keeper.h"
#include "app/window/layout.h"
#include "app/window/main_commands.h"
#include "app/window/message_tooltip_win32.h"
#include "app/window/startup_settings.h"
#include "macro/macro_list.h"
#include "platform/win32_handle.h"
#include "platform/win32_window_system.h"
#include "settings/options.h"

namespace kiv {

class MainWindow {
  public:
    // Creates the window, restores the settings and loads the macro file;
    // then runs until the window is closed. Returns the exit code.
    static int Run(HINSTANCE instance, int show);

    // The tool as if it ran from `programPath` (its settings and default
    // macro file lie beside it), in this process: for tests, which pump the
    // messages themselves. The window goes with the object.
    MainWindow(HINSTANCE instance, std::u16string programPath);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window, restores the settings, loads the macro file and
    // shows the window; false when the window could not be made.
    bool Open(int show);
    HWND Handle() const { return window_; }

  private:
    enum ControlId : int { kList = 100, kSay = 101, kSayNext = 102, kReload = 103 };
    static constexpr UINT_PTR kReloadTimer = 1;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // What the message loop does before dispatching.
    bool QueuedDuringDelivery(const MSG& message) const;
    bool TranslateMenuKey(MSG& message);

    bool Create();
    void CreateControls();
    void UpdateFont();
    void ApplyLayout();
    void StartUp();
    // Writes the settings; a failure is shown when `tellUser` (never while
    // the session ends). False when they could not be written.
    bool SaveSettings(bool tellUser);
    // Writes the settings, once.
    void ShutDown(bool tellUser);
    // Writes the options and the macros' hotkeys now (startup_settings.h).
    void SaveHotkeySettings();

    // Loads the file into a new list (at once, or once read off the window's
    // thread: macro_file_reading_win32.h); on failure the current list, the
    // list box and the selection stay as they were, and the user is told why.
    void LoadMacroList(const std::u16string& path);
    void StartReading(MacroFileReadings::Request request);
    bool TakeReading(WPARAM number);  // false: put off until the window is idle
    void ReadingDone(MacroFileReadings::Done done);
    void ShowAgain(MacroFileRead read, std::optional<int> select);
    void FillList();
    void TellLeftoverSideFiles(const std::u16string& path,
                               const std::vector<std::u16string>& leftovers);
    int Selected() const;  // the list's selected entry, -1 for none
    // Nothing when nothing was selected (or a delivery is under way).
    std::optional<DeliveryOutcome> Say();
    void SayNext();
    // Says the macro at `position` (from 1) as 発言 does.
    DeliveryOutcome Deliver(std::size_t position);
    void ChooseMacroFile();
    // Told or asked when the user looks at the tool (notices.h).
    void Notify(Notice notice);
    void ShowNotices();

    // The tool's menu and keys: options, hotkeys, and the macros' editing.
    MenuState CurrentMenuState() const;
    void RunMenuCommand(MenuCommand command);
    void ShowListMenu(LPARAM where);
    void SetTopMost(bool on);
    void EditHotkeys();
    // Registers the options' keys and those of the macros the list has;
    // returns what Windows refused.
    std::vector<HotkeyRefusal> RegisterHotkeys();
    // The same, telling what Windows refused (once, hotkey_refusals.h).
    void RegisterHotkeysAndTell();
    void RunHotkey(HotkeyAction action);
    void SayMacroTitled(const std::u16string& title);
    void MoveSelection(Step step);
    void ShowError(const std::u16string& text) const;
    void Tell(const std::u16string& text);

    // Changes to the macros from the tool (macro_edit_session.h).
    void NewMacro();
    void EditMacro();
    void DeleteMacro();
    void Change(const MacroChange& change,
                const std::optional<MacroEditSession::KeyChange>& key = std::nullopt);
    void UndoChange();
    using Edit =
        std::function<MacroEditSession::Outcome(const MacroList& shown, MacroHotkeys& hotkeys)>;
    MacroEditSession::Outcome OffTheWindowsThreadWhereSlow(const Edit& edit);
    void FollowEdit(const MacroEditSession::Outcome& outcome);
    std::optional<MacroDialogResult> AskForMacro(bool isNew, const Macro& macro);

    // The macro file changed on disk: the list follows (auto_reload.h).
    void MacroFileChanged();
    void ReloadChangedFile();
    void FollowReloadStep(AutoReload::Step step, const std::u16string& problem);
    void Dropped(HDROP drop);
    void EditMacroFile();
    const std::u16string& CurrentMacroFile() const {
        return macros_.IsLoaded() ? macros_.FileName() : startupMacroFile_;
    }

    WindowGeometry Geometry() const;
    void ApplyGeometry(const WindowGeometry& geometry);
    // The window's own DPI, for its controls and fonts.
    unsigned Dpi() const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND say_ = nullptr;
    HWND sayNext_ = nullptr;
    HWND reload_ = nullptr;
    UniqueFont font_;
    MainControls controls_ = DesignControls();
    MacroList macros_;
    // The path start-up tried, for the dialog and the settings while no list has loaded.
    std::u16string startupMacroFile_;
    Win32WindowSystem windowSystem_;
    std::u16string programPath_;
    FocusKeeper focus_;
    Options options_;
    bool optionsChanged_ = false;
    ToolHotkeys hotkeys_;
    HotkeyRefusalMemory hotkeyRefusals_;
    bool editingHotkeys_ = false;  // or a macro: every key is free meanwhile
    MacroHotkeys macroHotkeys_;
    MacroEditSession edits_;
    UniqueAccelerators menuKeys_;
    bool altServedMenuKey_ = false;  // the Alt held now went with a key of the menu's
    MessageTooltip tooltip_;
    FileWatch watch_;
    AutoReload autoReload_;
    PendingNotices notices_;
    std::optional<WindowNoticePort> noticePort_;  // once the window exists
    bool showingNotices_ = false;
    static constexpr UINT kShowNotices = WM_APP + 1;
    static constexpr UINT kFileChanged = WM_APP + 2;  // from watch_
    static constexpr UINT kReadingDone = WM_APP + 3;  // from readings_
    static constexpr UINT_PTR kReadingTimer = 2;      // a reading waits for the window to be idle
    static constexpr UINT kReadingRetryMs = 100;
    MacroFileReadings readings_;
    WPARAM readingToTake_ = 0;
    bool writing_ = false;                  // an edit runs off the window's thread
    bool busy_ = false;                     // a macro is being delivered
    std::optional<DWORD> deliveryEndedAt_;  // tick count when the last one ended
    // From applying the stored rectangle until the window is first shown: a
    // DPI change on the way (a monitor of another scale) must not resize it.
    bool settling_ = false;
    bool shutDown_ = false;
    bool endsProgram_ = false;  // the program's window, not a test's
    bool settingsUnsavable_ = false;
    bool inMenu_ = false;                        // a menu of the window is open
    std::vector<std::u16string> leftoversTold_;  // macro files whose side files were told
};

}  // namespace kiv

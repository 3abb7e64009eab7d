#pragma once

// The tool's only window: the list of macro titles and the buttons "発言",
// "発言して次へ" and "設定再読込". A host: it makes the features (the macro
// file shown, finding a macro in it, its editing, the hotkeys, the notices),
// and hands each the messages that are its own. Windows only.

#include <windows.h>

#include <optional>
#include <string>

#include "app/common/holds.h"
#include "app/common/tool_menu.h"
#include "app/common/tool_options.h"
#include "app/editing/macro_editing_win32.h"
#include "app/finding/macro_finder_win32.h"
#include "app/finding/macro_readings_win32.h"
#include "app/hotkeys/hotkey_keeper_win32.h"
#include "app/macro_file/shown_macro_file_win32.h"
#include "app/notices/notice_board_win32.h"
#include "app/palette/macro_palette_win32.h"
#include "app/saying/macro_saying_win32.h"
#include "app/tabs/macro_tabs_win32.h"
#include "app/window/focus_keeper_win32.h"
#include "app/window/message_tooltip_win32.h"
#include "app/window/tool_menu_win32.h"
#include "app/window/window_controls_win32.h"
#include "platform/single_copy_win32.h"

namespace kiv {

class MainWindow {
  public:
    // Creates the window, restores the settings and loads the macro file;
    // then runs until the window is closed, and until the threads reading
    // the macro file or watching it have ended, kWorkersEndMs at most (then
    // the process ends at once). Returns the exit code.
    static int Run(HINSTANCE instance, int show);
    static constexpr DWORD kWorkersEndMs = 2000;

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
    // One message from the queue, as the tool's loop handles it: the find
    // box and the shortcuts first, then the dialog keys, then the window.
    void Dispatch(MSG& message);

  private:
    static constexpr UINT kShowNotices = WM_APP + 1;
    static constexpr UINT kReadingsCame = WM_APP + 2;
    // Each tab's file's messages and timers, MacroTabs::kMessages of each.
    static constexpr UINT kTabMessages = WM_APP + 16;
    static constexpr UINT_PTR kTabTimers = 16;
    static constexpr UINT_PTR kPaletteTimer = 8;   // the counts written late
    static constexpr UINT_PTR kWaitTimer = 9;      // a <wait.N> between a macro's lines
    static constexpr UINT_PTR kCounterTimer = 10;  // the <count>s written late

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool Create();
    void AttachFeatures();
    void CreateControls();
    void StartUp();
    // Writes the settings; a failure is shown when `tellUser` (never while
    // the session ends). False when they could not be written.
    bool SaveSettings(bool tellUser);
    // The tabs, written the moment they change once they are kept.
    void SaveTabSettings();
    // The options and the macros' keys, written the moment they change.
    void SaveHotkeySettings();
    void SavePaletteSettings();
    void SaveCounterSettings();
    // 変数の設定: written on OK.
    void EditVariables();
    // The macro selected in the list shown, as a place for its tokens.
    std::optional<MacroPlace> SelectedPlace() const;
    // Neither unread at start-up nor where its encoding cannot name it: a
    // write would lose what it holds, or write what would not read back.
    bool MayWriteSettings() const { return !settingsUnread_ && !settingsUnsavable_; }
    // Writes the settings, once.
    void ShutDown(bool tellUser);

    // What keeps the tool from acting now (holds.h).
    Holds HoldsNow() const;
    int Selected() const;  // the macro (0-based) on the list's selected row, -1 for none
    // The macro (1-based) shown on the row above or below the selected one; 0 for none.
    std::size_t Neighbour(int step) const;

    MenuState CurrentMenuState() const;
    ToolSubmenus Submenus();
    // A menu item's ID: the tool's command, a submenu's item (最近使ったファイル,
    // 送信先); false for another (Windows' own).
    bool RunMenuId(std::uint32_t id);
    void RunMenuCommand(MenuCommand command);
    void ShowListMenu(LPARAM where);
    void SetTopMost(bool on);
    // A macro as said from the tab `tab`, to its client.
    TabMacro SaidFrom(std::size_t tab, Macro macro) const;
    // The macro at `position` (from 1) of the tab at `tab`.
    TabMacro SaidFrom(std::size_t tab, std::size_t position) const;

    HINSTANCE instance_;
    std::u16string programPath_;
    HWND window_ = nullptr;
    WindowControls controls_;
    HWND list_ = nullptr;  // the controls' list of titles
    FocusKeeper focus_;
    MessageTooltip tooltip_;
    BriefTip briefTip_;
    ToolMenuKeys menuKeys_;

    ToolOptions options_;
    NoticeBoard notices_;
    TitleList titles_;
    MacroReadings readings_;
    MacroFinder finder_;
    MacroTabs tabs_;
    HotkeyKeeper keys_;
    MacroTokens tokens_;
    MacroEditing editing_;
    MacroSaying saying_;
    MacroPalette palette_;

    bool inMenu_ = false;  // a menu of the window is open
    // From applying the stored rectangle until the window is first shown: a
    // DPI change on the way (a monitor of another scale) must not resize it.
    bool settling_ = false;
    bool shutDown_ = false;
    bool endsProgram_ = false;          // the program's window, not a test's
    const SingleCopy* copy_ = nullptr;  // the program's hold on its settings file
    bool settingsUnsavable_ = false;
    // The settings file could not be read at start-up: what this run holds
    // is not what it holds, and no write of this run may touch it.
    bool settingsUnread_ = false;
};

}  // namespace kiv

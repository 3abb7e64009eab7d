#pragma once

// The macro file the list shows, and its owner: loads it (at start-up, from
// the Open dialog, a drop, the files used lately), watches it, and reads it
// again when it changes on disk or after the tool's own edit, so that the
// list always shows what the file holds. Readings off the window's thread are
// shown only once the window is free to show them. Keeps the files loaded
// lately, each with the place the user left it at. Windows only.

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/common/holds.h"
#include "app/common/list_came.h"
#include "app/common/tool_menu.h"
#include "app/macro_file/auto_reload.h"
#include "app/macro_file/file_watch_win32.h"
#include "app/macro_file/macro_file_reading_win32.h"
#include "app/notices/brief_tip_win32.h"
#include "app/notices/notice_board_win32.h"
#include "macro/macro_list.h"
#include "settings/recent_files.h"

namespace kiv {

// The files used lately, one record for every file shown at once (each tab's).
struct RecentFilesKept {
    RecentFiles files;
    TextEncoding settings = TextEncoding::Ansi;  // the encoding paths are kept in
    // Kept at the close: a second file loaded, the menu used, or kept before.
    bool inUse = false;
    std::vector<std::u16string> gone;      // files used lately found gone this run
    std::vector<std::u16string> goneTabs;  // tabs' files found gone at start-up
};

class ShownMacroFile {
  public:
    // What only the window knows and does.
    struct Host {
        HWND window = nullptr;
        // Posted to the window, and to be handed to Handle: a change on disk,
        // and a reading done off the window's thread.
        UINT changedMessage = 0;
        UINT readingDoneMessage = 0;
        // The window's timers, to be handed to HandleTimer.
        UINT_PTR settleTimer = 0;
        UINT_PTR readingTimer = 0;
        std::function<Holds()> holds;
        // The macro (0-based) selected in the list, -1 for none.
        std::function<int()> selected;
        // Shows `list`: from its top with nothing selected, or, with `select`,
        // at the same scroll position (or with the macro `top` (0-based) first)
        // with that macro (0-based) selected (-1: none).
        std::function<void(const MacroList& list, std::optional<int> select, ListCame came,
                           std::optional<std::size_t> top)>
            show;
        // The macro (0-based) on the list's first row shown.
        std::function<std::optional<std::size_t>()> topMacro;
        // A file was loaded in place of the one shown.
        std::function<void(const std::u16string& path)> loaded;
        // The titles shown changed: the macros' keys follow them.
        std::function<void()> titlesChanged;
        NoticeBoard* notices = nullptr;
        BriefTip* tip = nullptr;  // names the file a hotkey switched to
        // Shared by every file shown at once; null: this file's own.
        RecentFilesKept* recent = nullptr;
    };
    void Attach(Host host) { host_ = std::move(host); }

    // The file shown; before any list loaded, the path start-up tried, for
    // the Open dialog and the settings.
    const std::u16string& Path() const { return list_.IsLoaded() ? list_.FileName() : firstPath_; }
    const MacroList& List() const { return list_; }
    // A reading is under way: an edit now would act on a list about to go.
    bool Reading() const { return readings_.Pending(); }

    // Loads `path` into a new list (at once, or once read off the window's
    // thread); on failure the list shown and its selection stay as they were,
    // and the user is told why.
    void Load(const std::u16string& path);
    // At start-up: remembered as the file to show even if it cannot be read.
    // A file other than `defaultPath` that the user had before (one of the
    // files used lately) is not made anew when it is gone.
    void LoadFirst(const std::u16string& path, const std::u16string& defaultPath);
    // At start-up, a file the player had open before (a tab's): remembered
    // as the file to show even if it cannot be read, never made anew. One
    // of several tabs is told gone as a tab's file; one behind the shown tab
    // leaves the files used lately in their order.
    enum class KeptTab { Alone, Shown, Behind };
    void LoadKept(const std::u16string& path, KeptTab tab);
    // The tool wrote the file: it is read again, `select` (0-based) selected.
    void ReadAfterEdit(std::optional<int> select);

    // The files loaded lately, as the settings kept them, and the encoding
    // the settings file keeps paths in: before LoadFirst.
    void StartRecent(RecentFiles recent, TextEncoding settings);
    // What the settings keep at the close, the file shown with its place;
    // nothing until they are in use: a second file loaded, or the menu used,
    // or kept from an earlier run.
    std::optional<RecentFiles> RecentToKeep();
    // 最近使ったファイル as the menu shows it.
    RecentFilesMenu OfferRecent() const;
    // The menu's item `index`: loaded at the place it was left at. One that
    // is gone is offered to be taken out of the menu, never made anew.
    void ChooseRecent(std::size_t index);
    void ClearRecent();
    // The next (+1) or previous (-1) of the files in the menu's order, which
    // stays, from the file shown or the one a step is reading, past those
    // gone (told when the user next looks); named briefly.
    void StepRecent(int step);

    // "設定再読込": the Open dialog, at the file shown; the file chosen is loaded.
    void ChooseInDialog();
    // The Open dialog's file, one the settings can name; nothing when the
    // player cancelled or was told why not.
    std::optional<std::u16string> AskForFile();
    // Files dropped on the window (WM_DROPFILES; released here).
    void Dropped(HDROP drop);
    // The one macro file among files dropped; nothing when the player was
    // told why none.
    std::optional<std::u16string> DroppedFile(HDROP drop);
    // The file opened in the user's editor.
    void OpenInEditor();

    // What the window hands on; false when the message or timer is another's.
    bool Handle(UINT message, WPARAM wParam);
    bool HandleTimer(WPARAM id);
    // The window is going: nothing may be posted to it any more.
    void Stop();

  private:
    // How a file came to be loaded, which decides whether it goes first in
    // the files used lately and whether its place comes back.
    enum class LoadWay { First, Tab, TabBehind, Chosen, Recent, Step };
    // `hadBefore`: one of the files used lately, not made anew when gone.
    void Load(const std::u16string& path, LoadWay way, bool hadBefore);
    void Loaded(MacroList list, const std::u16string& path);
    void Gone(const std::u16string& path);
    void TellGone();
    // The file shown keeps the place it is at.
    void LeavePlace();
    void StartReading(MacroFileReadings::Request request);
    bool TakeReading(WPARAM number);  // false: put off until the window is free
    void ReadingDone(MacroFileReadings::Done done);
    void ShowAgain(MacroFileRead read, std::optional<int> select, ListCame came);
    void TellLeftoverSideFiles(const std::u16string& path,
                               const std::vector<std::u16string>& leftovers);
    void Changed();
    void Settled();
    void ReloadFailed(const MacroFileRead& read);
    void TellIfUnsettled(const MacroFileRead& read, const std::u16string& path);
    RecentFilesKept& Recent() { return host_.recent != nullptr ? *host_.recent : ownRecent_; }
    const RecentFilesKept& Recent() const {
        return host_.recent != nullptr ? *host_.recent : ownRecent_;
    }

    Host host_;
    MacroList list_;
    std::optional<ChosenMacro> lostChoice_;  // selected, gone with a reading
    std::u16string firstPath_;
    FileWatch watch_;
    AutoReload autoReload_;
    MacroFileReadings readings_;
    WPARAM readingToTake_ = 0;
    std::vector<std::u16string> leftoversTold_;  // files whose side files were told
    LoadWay loadWay_ = LoadWay::First;           // of the latest load asked for
    RecentFilesKept ownRecent_;
    std::u16string stepping_;  // the file a step is reading
};

}  // namespace kiv

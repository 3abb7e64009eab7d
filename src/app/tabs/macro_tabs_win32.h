#pragma once

// The macro files open at once, one a tab: each with its own list, watch,
// automatic reload, undo and place in the list, one of them shown in the
// window's list and find box. The tab strip (a Windows tab control) shows
// only while two or more are open: one file is the window as it always was.
// A macro's own key says the shown tab's macro of its title, else the first
// tab's from the left that has it. Windows only.

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/common/holds.h"
#include "app/finding/macro_finder_win32.h"
#include "app/macro_file/shown_macro_file_win32.h"
#include "app/notices/brief_tip_win32.h"
#include "app/notices/notice_board_win32.h"
#include "macro/macro.h"
#include "settings/tab_set.h"

namespace kiv {

class MacroTabs {
  public:
    struct Host {
        HWND window = nullptr;
        HINSTANCE instance = nullptr;
        // Each tab's file posts two messages from here, and has two timers
        // from here: 2 × TabSet::kMost of each are the tabs'.
        UINT firstMessage = 0;
        UINT_PTR firstTimer = 0;
        std::function<Holds()> holds;
        TitleList* titles = nullptr;
        MacroFinder* finder = nullptr;
        NoticeBoard* notices = nullptr;
        BriefTip* tip = nullptr;
        // A file was loaded in place of a tab's (not the tool's own reading).
        std::function<void(const ShownMacroFile& file, const std::u16string& path)> loaded;
        // A tab closed: what was kept for its file goes.
        std::function<void(const ShownMacroFile& file)> closed;
        // Some tab's titles changed: the macros' keys follow them.
        std::function<void()> titlesChanged;
        // Another tab is shown: what pointed at a row forgets it.
        std::function<void()> switched;
        // The strip was made (when a second tab first opened).
        std::function<void(HWND strip)> stripMade;
        // The strip was shown or hidden: the window places its controls again.
        std::function<void()> layOut;
        // The tabs changed (opened, closed, moved, bound, another shown):
        // the window writes them, once they are kept.
        std::function<void()> save;
        // The titles of the game clients running now, in 送信先's order.
        std::function<std::vector<std::u16string>()> clientTitles;
    };
    enum Id : int { kStrip = 106 };
    static constexpr UINT kMessages = 2 * TabSet::kMost;

    MacroTabs() = default;
    ~MacroTabs();
    MacroTabs(const MacroTabs&) = delete;
    MacroTabs& operator=(const MacroTabs&) = delete;

    // The strip is made when a second tab first opens.
    void Create(Host host);
    HWND Strip() const { return strip_; }
    bool StripShown() const { return tabs_.Count() > 1; }

    // At start-up: the tabs the settings kept (`kept`: the section was
    // there), each file loaded as a file the player had; the shown one as
    // the design's first file when the section was not there, made with
    // the default macros when it is `defaultPath` and missing.
    void Start(TabSet tabs, bool kept, RecentFiles recent, TextEncoding settings,
               const std::u16string& defaultPath);

    const TabSet& Tabs() const { return tabs_; }
    // Whether the settings keep the tabs: a second tab was ever open.
    bool Kept() const { return kept_; }
    ShownMacroFile& Shown() { return pages_[tabs_.Shown()]->file; }
    const ShownMacroFile& Shown() const { return pages_[tabs_.Shown()]->file; }
    // Whether the shown tab's file is being read.
    bool Reading() const { return Shown().Reading(); }
    // The files used lately, over every tab.
    std::optional<RecentFiles> RecentToKeep();
    RecentFilesMenu OfferRecent() const { return Shown().OfferRecent(); }

    // Whether any open tab has a macro of `title`, and the one a key of that
    // title says.
    bool AnyHasTitle(std::u16string_view title) const;
    // The tab (from 0) it is said from and its position there (from 1).
    std::optional<std::pair<std::size_t, std::size_t>> MacroForKey(
        const std::u16string& title) const;
    // The macros of the tab at `index` (from 0), shown or not.
    const MacroList& ListOf(std::size_t index) const { return pages_[index]->file.List(); }

    // 新しいタブで開く...: the Open dialog; the file goes in a new tab.
    void OpenInNewTab();
    // A file in a new tab (shown, if it is open already).
    void Open(const std::u16string& path);
    // 設定再読込: the shown tab takes the file chosen.
    void ChooseInDialog();
    // A drop: in a new tab when Ctrl is held or it lands on the strip,
    // otherwise in place of the shown tab's file.
    void Dropped(HDROP drop);
    // 最近使ったファイル's item: in place of the shown tab's file.
    void ChooseRecent(std::size_t index);
    void ClearRecent() { Shown().ClearRecent(); }
    // 前のファイル / 次のファイル: through the tabs when two or more are
    // open, the tab named for a moment; through the recent files otherwise.
    void StepByHotkey(int step);

    void Show(std::size_t index);
    void Close(std::size_t index);
    void Move(std::size_t index, int step);
    // The tab's client, by its title (empty: none).
    void Bind(std::size_t index, std::u16string client);

    // In the message loop, before the window's shortcuts, while two or more
    // tabs are open: Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp
    // step, Ctrl+W and Ctrl+F4 close the shown tab, Ctrl+Shift+PageUp and
    // Ctrl+Shift+PageDown move it; true when taken.
    bool PreTranslate(const MSG& message);
    // What the window hands on; false when the message is another's.
    bool Handle(UINT message, WPARAM wParam);
    bool HandleTimer(WPARAM id);
    // WM_NOTIFY from the strip; nothing when it was another control's.
    std::optional<LRESULT> Notify(const NMHDR& header);
    // WM_CONTEXTMENU on the strip: its menu, for the tab under the mouse
    // (or the shown one, from the keyboard); the item chosen, for RunMenuId
    // once the menu is gone (0: none, or not the strip's).
    std::uint32_t ShowMenu(HWND over, LPARAM where);
    void RunMenuId(std::uint32_t id);
    // The window is going: nothing may be posted to it any more.
    void Stop();

  private:
    struct Page {
        ShownMacroFile file;
        std::size_t slot = 0;  // its messages and timers
        ListPlace place;       // as it was left, while another is shown
    };
    bool MakeStrip();
    std::unique_ptr<Page> MakePage();
    std::size_t IndexOf(const Page& page) const;
    bool IsShown(const Page& page) const { return pages_[tabs_.Shown()].get() == &page; }
    void LoadedInto(Page& page, const std::u16string& path);
    // Switching waits out what switching the file waits out.
    bool MaySwitch() const;
    // A file open in another tab: that tab shown (a file is never open twice).
    bool ShowIfOpenElsewhere(std::u16string_view path);
    void ShowPage(std::size_t index);
    void Changed();
    void UpdateStrip();

    Host host_;
    HWND strip_ = nullptr;
    TabSet tabs_{u""};
    std::vector<std::unique_ptr<Page>> pages_;  // in the tabs' order
    std::vector<bool> slotsUsed_ = std::vector<bool>(TabSet::kMost, false);
    RecentFilesKept recent_;
    std::u16string defaultPath_;
    bool kept_ = false;
    std::size_t menuTab_ = 0;              // the tab the menu was opened for
    std::vector<std::u16string> offered_;  // the clients its menu offered
};

}  // namespace kiv

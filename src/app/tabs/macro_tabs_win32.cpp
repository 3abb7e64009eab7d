#include "app/tabs/macro_tabs_win32.h"

#include <algorithm>

#include "app/common/app_texts.h"
#include "app/common/key_press.h"
#include "app/common/tool_menu.h"
#include "platform/case_fold.h"
#include "platform/common_controls_win32.h"
#include "platform/shell_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

// What switching the file shown waits out: a delivery, a dialog of the
// tool's own or a menu (whose command is for the list it was opened over),
// the close, an edit being written.
constexpr Holds kHoldSwitching = Hold::Dialog | Hold::Menu | Hold::Delivering | Hold::ShuttingDown;

enum MenuId : std::uint32_t {
    kCloseId = 1,
    kMoveLeftId,
    kMoveRightId,
    kExplorerId,
    kNoClientId,
    kFirstClientId = 0x100,
};

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

// Each file's threads end with it; nothing of theirs may reach the window.
MacroTabs::~MacroTabs() {
    Stop();
}

void MacroTabs::Create(Host host) {
    host_ = std::move(host);
    // A tab of no file until start-up: the menus may ask before.
    pages_.push_back(MakePage());
}

// Made when a second tab first opens: one file is the window as it always was.
bool MacroTabs::MakeStrip() {
    if (strip_ != nullptr) return true;
    if (!LoadCommonControls(ICC_TAB_CLASSES)) return false;
    // Never takes the focus: the list keeps it, and Ctrl+Tab moves between tabs.
    strip_ = CreateWindowExW(0, WC_TABCONTROLW, L"",
                             WS_CHILD | WS_CLIPSIBLINGS | TCS_FOCUSNEVER | TCS_SINGLELINE, 0, 0, 0,
                             0, host_.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStrip)),
                             host_.instance, nullptr);
    if (strip_ == nullptr) return false;
    if (host_.stripMade) host_.stripMade(strip_);
    return true;
}

std::unique_ptr<MacroTabs::Page> MacroTabs::MakePage() {
    auto page = std::make_unique<Page>();
    const auto free = std::find(slotsUsed_.begin(), slotsUsed_.end(), false);
    page->slot = static_cast<std::size_t>(free - slotsUsed_.begin());
    slotsUsed_[page->slot] = true;
    Page* const self = page.get();
    const auto slotMessage = static_cast<UINT>(host_.firstMessage + 2 * self->slot);
    const UINT_PTR slotTimer = host_.firstTimer + 2 * self->slot;
    self->file.Attach(
        {.window = host_.window,
         .changedMessage = slotMessage,
         .readingDoneMessage = slotMessage + 1,
         .settleTimer = slotTimer,
         .readingTimer = slotTimer + 1,
         .holds = host_.holds,
         .selected =
             [this, self] {
                 const std::optional<std::size_t> macro =
                     IsShown(*self) ? host_.titles->SelectedMacro() : self->place.selected;
                 return macro ? static_cast<int>(*macro) : -1;
             },
         .show =
             [this, self](const MacroList& list, std::optional<int> select, ListCame came,
                          std::optional<std::size_t> top) {
                 if (IsShown(*self)) {
                     host_.finder->Show(list, select, came, top);
                     return;
                 }
                 // Shown when its tab is: from where it was left, or as loaded.
                 if (came == ListCame::Loaded) self->place = {};
                 if (select) {
                     self->place.selected =
                         *select >= 0 ? std::optional(std::size_t(*select)) : std::nullopt;
                 }
                 if (top) self->place.top = top;
             },
         .topMacro = [this,
                      self] { return IsShown(*self) ? host_.titles->TopMacro() : self->place.top; },
         .loaded = [this, self](const std::u16string& path) { LoadedInto(*self, path); },
         .titlesChanged = host_.titlesChanged,
         .notices = host_.notices,
         .tip = host_.tip,
         .recent = &recent_});
    return page;
}

void MacroTabs::Start(TabSet tabs, bool kept, RecentFiles recent, TextEncoding settings,
                      const std::u16string& defaultPath) {
    recent_.inUse = !recent.Files().empty();
    recent_.files = std::move(recent);
    recent_.settings = settings;
    defaultPath_ = defaultPath;
    tabs_ = std::move(tabs);
    kept_ = kept;
    for (const auto& page : pages_) page->file.Stop();
    pages_.clear();
    std::fill(slotsUsed_.begin(), slotsUsed_.end(), false);
    for (std::size_t i = 0; i < tabs_.Count(); ++i) pages_.push_back(MakePage());
    UpdateStrip();
    // The shown one first: the list fills before the others are read.
    const std::size_t shown = tabs_.Shown();
    // Kept tabs are files the player had: only the design's own file is made
    // anew when it is missing.
    const std::u16string& shownPath = tabs_.ShownTab().path;
    if (kept && !EqualIgnoringCase(shownPath, defaultPath)) {
        pages_[shown]->file.LoadKept(shownPath, tabs_.Count() > 1 ? ShownMacroFile::KeptTab::Shown
                                                                  : ShownMacroFile::KeptTab::Alone);
    } else {
        pages_[shown]->file.LoadFirst(shownPath, defaultPath);
    }
    for (std::size_t i = 0; i < tabs_.Count(); ++i) {
        if (i != shown) {
            pages_[i]->file.LoadKept(tabs_.Tabs()[i].path, ShownMacroFile::KeptTab::Behind);
        }
    }
}

std::size_t MacroTabs::IndexOf(const Page& page) const {
    const auto found = std::find_if(pages_.begin(), pages_.end(),
                                    [&page](const auto& held) { return held.get() == &page; });
    return static_cast<std::size_t>(found - pages_.begin());
}

void MacroTabs::LoadedInto(Page& page, const std::u16string& path) {
    const std::size_t index = IndexOf(page);
    if (host_.loaded) host_.loaded(page.file, path);
    if (index >= tabs_.Count() || tabs_.Tabs()[index].path == path) return;
    tabs_.Rename(index, path);
    UpdateStrip();
    Changed();
}

std::optional<RecentFiles> MacroTabs::RecentToKeep() {
    std::optional<RecentFiles> kept;
    // Each leaves its place; the shown one last, as the one most recent.
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (i != tabs_.Shown()) pages_[i]->file.RecentToKeep();
    }
    return Shown().RecentToKeep();
}

bool MacroTabs::AnyHasTitle(std::u16string_view title) const {
    return std::any_of(pages_.begin(), pages_.end(), [title](const auto& page) {
        return page->file.List().FirstTitled(title).has_value();
    });
}

std::optional<std::pair<std::size_t, std::size_t>> MacroTabs::MacroForKey(
    const std::u16string& title) const {
    const std::optional<std::size_t> tab = TabForKey(tabs_, [&](std::size_t i) {
        return pages_[i]->file.List().FirstTitled(title).has_value();
    });
    if (!tab) return std::nullopt;
    return std::pair(*tab, *pages_[*tab]->file.List().FirstTitled(title));
}

bool MacroTabs::MaySwitch() const {
    return !host_.holds().Any(kHoldSwitching);
}

void MacroTabs::OpenInNewTab() {
    if (!MaySwitch()) return;
    if (const std::optional<std::u16string> path = Shown().AskForFile()) Open(*path);
}

void MacroTabs::Open(const std::u16string& path) {
    if (!MaySwitch()) return;
    if (const std::optional<std::size_t> open = tabs_.Find(path)) {
        Show(*open);
        return;
    }
    if (tabs_.Count() >= TabSet::kMost) {
        host_.notices->ShowError(Fill(texts::kTooManyTabs, {std::u16string(u"16")}));
        return;
    }
    pages_[tabs_.Shown()]->place = host_.finder->Place();
    std::unique_ptr<Page> page = MakePage();
    Page& added = *page;
    pages_.push_back(std::move(page));
    tabs_.Open(path);
    UpdateStrip();
    host_.finder->Restore(added.file.List(), {});
    if (host_.switched) host_.switched();
    Changed();
    added.file.Load(path);
}

void MacroTabs::ChooseInDialog() {
    const std::optional<std::u16string> path = Shown().AskForFile();
    if (!path) return;
    if (!ShowIfOpenElsewhere(*path)) Shown().Load(*path);
}

bool MacroTabs::ShowIfOpenElsewhere(std::u16string_view path) {
    const std::optional<std::size_t> open = tabs_.Find(path);
    if (!open || *open == tabs_.Shown()) return false;
    Show(*open);
    return true;
}

void MacroTabs::Dropped(HDROP drop) {
    const std::optional<POINT> at = DropPoint(drop);
    bool onStrip = false;
    if (StripShown() && at) {
        RECT strip{};
        GetWindowRect(strip_, &strip);
        MapWindowPoints(nullptr, host_.window, reinterpret_cast<POINT*>(&strip), 2);
        onStrip = PtInRect(&strip, *at) != FALSE;
    }
    // Ctrl as it is held now: during a drag the keys go to the program
    // dragged from, and this thread's key state never saw them.
    const bool newTab = onStrip || (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    const std::optional<std::u16string> path = Shown().DroppedFile(drop);
    if (!path) return;
    if (newTab) {
        Open(*path);
    } else if (!ShowIfOpenElsewhere(*path)) {
        Shown().Load(*path);
    }
}

void MacroTabs::ChooseRecent(std::size_t index) {
    if (index >= recent_.files.Files().size()) return;
    const std::u16string path = recent_.files.Files()[index].path;
    if (!ShowIfOpenElsewhere(path)) Shown().ChooseRecent(index);
}

void MacroTabs::StepByHotkey(int step) {
    if (tabs_.Count() < 2) {
        Shown().StepRecent(step);
        return;
    }
    if (!MaySwitch() || host_.holds().Any(Hold::KeysFree)) return;
    Show(tabs_.StepFrom(step));
    if (host_.tip != nullptr) {
        host_.tip->Show(Fill(texts::kTabShown, {TabLabel(tabs_.ShownTab())}));
    }
}

void MacroTabs::Show(std::size_t index) {
    if (index >= tabs_.Count() || index == tabs_.Shown() || !MaySwitch()) {
        TabCtrl_SetCurSel(strip_, static_cast<int>(tabs_.Shown()));
        return;
    }
    ShowPage(index);
    // Written with the next change of the tabs or at the close: a write at
    // every Ctrl+Tab would wait on the disk each time.
}

void MacroTabs::ShowPage(std::size_t index) {
    pages_[tabs_.Shown()]->place = host_.finder->Place();
    tabs_.Show(index);
    TabCtrl_SetCurSel(strip_, static_cast<int>(index));
    host_.finder->Restore(pages_[index]->file.List(), pages_[index]->place);
    if (host_.switched) host_.switched();
}

void MacroTabs::Close(std::size_t index) {
    if (tabs_.Count() < 2 || index >= tabs_.Count() || !MaySwitch()) return;
    Page& page = *pages_[index];
    const bool wasShown = index == tabs_.Shown();
    page.file.Stop();  // a reading under way is cancelled: it reaches no tab
    KillTimer(host_.window, host_.firstTimer + 2 * page.slot);
    KillTimer(host_.window, host_.firstTimer + 2 * page.slot + 1);
    if (host_.closed) host_.closed(page.file);
    page.file.RecentToKeep();  // it leaves its place among the files used lately
    // Closed, it is no tab's file gone: told no more.
    std::erase_if(recent_.goneTabs, [&page](const std::u16string& gone) {
        return EqualIgnoringCase(gone, page.file.Path());
    });
    if (recent_.goneTabs.empty()) host_.notices->Drop(NoticeKind::TabFileGone);
    slotsUsed_[page.slot] = false;
    tabs_.Close(index);
    pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(index));
    UpdateStrip();
    if (wasShown) {
        const Page& shown = *pages_[tabs_.Shown()];
        host_.finder->Restore(shown.file.List(), shown.place);
        if (host_.switched) host_.switched();
    }
    if (host_.titlesChanged) host_.titlesChanged();
    Changed();
}

void MacroTabs::Move(std::size_t index, int step) {
    if (!tabs_.Move(index, step)) return;
    std::swap(pages_[index], pages_[step < 0 ? index - 1 : index + 1]);
    UpdateStrip();
    Changed();
}

void MacroTabs::Bind(std::size_t index, std::u16string client) {
    if (index >= tabs_.Count() || tabs_.Tabs()[index].client == client) return;
    tabs_.Bind(index, std::move(client));
    UpdateStrip();
    Changed();
}

void MacroTabs::Changed() {
    if (tabs_.Count() > 1) kept_ = true;
    if (kept_ && host_.save) host_.save();
}

void MacroTabs::UpdateStrip() {
    if (tabs_.Count() > 1) MakeStrip();
    if (strip_ == nullptr) return;
    const bool wasShown = (GetWindowLongPtrW(strip_, GWL_STYLE) & WS_VISIBLE) != 0;
    TabCtrl_DeleteAllItems(strip_);
    for (std::size_t i = 0; i < tabs_.Count(); ++i) {
        // A tab shows "&" as an access key's mark.
        const std::u16string label = MenuTextAsWritten(TabLabel(tabs_.Tabs()[i]));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(Wide(label));
        TabCtrl_InsertItem(strip_, static_cast<int>(i), &item);
    }
    TabCtrl_SetCurSel(strip_, static_cast<int>(tabs_.Shown()));
    if (wasShown != StripShown()) {
        ShowWindow(strip_, StripShown() ? SW_SHOWNA : SW_HIDE);
        if (host_.layOut) host_.layOut();
    }
}

bool MacroTabs::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || tabs_.Count() < 2) return false;
    if (!KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) return false;
    if (message.hwnd != host_.window && !IsChild(host_.window, message.hwnd)) return false;
    const bool shift = KeyDown(VK_SHIFT);
    // Closing and moving as tabbed programs do, for a player on the keyboard:
    // the strip never takes the focus.
    if ((message.wParam == VK_F4 || message.wParam == 'W') && !shift) {
        // A key held down closes one tab, not every tab but the last.
        if (!IsHeldKeyRepeat(static_cast<std::uintptr_t>(message.lParam))) Close(tabs_.Shown());
        return true;
    }
    int step = 0;
    if (message.wParam == VK_TAB) step = shift ? -1 : 1;
    if (message.wParam == VK_NEXT) step = 1;
    if (message.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    if (shift && message.wParam != VK_TAB) {
        Move(tabs_.Shown(), step);
    } else {
        Show(tabs_.StepFrom(step));
    }
    return true;
}

bool MacroTabs::Handle(UINT message, WPARAM wParam) {
    if (pages_.empty() || message < host_.firstMessage ||
        message >= host_.firstMessage + kMessages) {
        return false;  // before it was made, every message is another's
    }
    for (const auto& page : pages_) {
        if (page->file.Handle(message, wParam)) return true;
    }
    return true;  // a closed tab's, posted before it closed
}

bool MacroTabs::HandleTimer(WPARAM id) {
    if (pages_.empty() || id < host_.firstTimer || id >= host_.firstTimer + kMessages) return false;
    for (const auto& page : pages_) {
        if (page->file.HandleTimer(id)) return true;
    }
    KillTimer(host_.window, id);
    return true;
}

std::optional<LRESULT> MacroTabs::Notify(const NMHDR& header) {
    if (strip_ == nullptr || header.hwndFrom != strip_) return std::nullopt;
    if (header.code == TCN_SELCHANGING) return MaySwitch() ? FALSE : TRUE;
    if (header.code == TCN_SELCHANGE) {
        const int chosen = TabCtrl_GetCurSel(strip_);
        if (chosen >= 0) Show(static_cast<std::size_t>(chosen));
    }
    return 0;
}

std::uint32_t MacroTabs::ShowMenu(HWND over, LPARAM where) {
    if (strip_ == nullptr || over != strip_ || !StripShown()) return 0;
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (at.x == -1 && at.y == -1) {
        // The keyboard's menu key: under the shown tab.
        RECT shown{};
        TabCtrl_GetItemRect(strip_, static_cast<int>(tabs_.Shown()), &shown);
        at = {shown.left, shown.bottom};
        ClientToScreen(strip_, &at);
        menuTab_ = tabs_.Shown();
    } else {
        TCHITTESTINFO hit{};
        hit.pt = at;
        ScreenToClient(strip_, &hit.pt);
        const int index = TabCtrl_HitTest(strip_, &hit);
        if (index < 0) return 0;
        menuTab_ = static_cast<std::size_t>(index);
    }
    const Tab& tab = tabs_.Tabs()[menuTab_];
    offered_ = host_.clientTitles ? host_.clientTitles() : std::vector<std::u16string>{};
    // A bound client not running now is still offered, ticked.
    if (!tab.client.empty() &&
        std::find(offered_.begin(), offered_.end(), tab.client) == offered_.end()) {
        offered_.push_back(tab.client);
    }
    HMENU clients = CreatePopupMenu();
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr || clients == nullptr) {
        if (menu != nullptr) DestroyMenu(menu);
        if (clients != nullptr) DestroyMenu(clients);
        return 0;
    }
    const auto flags = [](bool enabled) { return MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED); };
    AppendMenuW(clients, MF_STRING | (tab.client.empty() ? MF_CHECKED : 0u), kNoClientId,
                Wide(std::u16string(texts::kNoTabClientItem)));
    for (std::size_t i = 0; i < offered_.size() && i < kMostSendToItems; ++i) {
        const std::u16string text = MenuTextAsWritten(offered_[i]);
        AppendMenuW(clients, MF_STRING | (offered_[i] == tab.client ? MF_CHECKED : 0u),
                    kFirstClientId + i, Wide(text));
    }
    AppendMenuW(menu, flags(tabs_.Count() > 1), kCloseId,
                Wide(std::u16string(texts::kCloseTabItem)));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, flags(menuTab_ > 0), kMoveLeftId,
                Wide(std::u16string(texts::kMoveTabLeftItem)));
    AppendMenuW(menu, flags(menuTab_ + 1 < tabs_.Count()), kMoveRightId,
                Wide(std::u16string(texts::kMoveTabRightItem)));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kExplorerId, Wide(std::u16string(texts::kShowInExplorerItem)));
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(clients),
                Wide(std::u16string(texts::kTabClientItem)));
    const auto chosen = static_cast<std::uint32_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0,
                       host_.window, nullptr));
    DestroyMenu(menu);  // and the submenu with it
    return chosen;
}

void MacroTabs::RunMenuId(std::uint32_t id) {
    if (id == 0 || menuTab_ >= tabs_.Count()) return;
    switch (id) {
        case kCloseId:
            return Close(menuTab_);
        case kMoveLeftId:
            return Move(menuTab_, -1);
        case kMoveRightId:
            return Move(menuTab_, 1);
        case kExplorerId: {
            // A copy: the shell may serve messages meanwhile, and the tabs change.
            const std::u16string path = tabs_.Tabs()[menuTab_].path;
            if (const DWORD error = ShowInExplorer(host_.window, path); error != 0) {
                host_.notices->ShowError(
                    Fill(texts::kExplorerNotOpened, {path, SystemErrorText(error)}));
            }
            return;
        }
        case kNoClientId:
            return Bind(menuTab_, u"");
        default:
            if (id >= kFirstClientId && id - kFirstClientId < offered_.size()) {
                Bind(menuTab_, offered_[id - kFirstClientId]);
            }
            return;
    }
}

void MacroTabs::Stop() {
    for (const auto& page : pages_) page->file.Stop();
}

}  // namespace kiv

#include "app/finding/title_list_win32.h"

#include <algorithm>

#include "platform/wide_text.h"

namespace kiv {

void FillTitleList(HWND list, const MacroList& macros, const VisibleRows& rows, std::size_t count) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // Room for all entries up front, so the list does not grow step by step.
    SendMessageW(list, LB_INITSTORAGE, rows.Count(),
                 static_cast<LPARAM>(rows.Count() * 32 * sizeof(wchar_t)));
    AddTitles(list, macros, rows, 0, std::min(count, rows.Count()));
}

void AddTitles(HWND list, const MacroList& macros, const VisibleRows& rows, std::size_t from,
               std::size_t to) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    // One buffer for every title: LB_ADDSTRING wants it NUL-ended, the list keeps views.
    std::u16string title;
    for (std::size_t row = from; row < to; ++row) {
        title.assign(macros.Title(*rows.MacroAt(static_cast<int>(row)) + 1));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(title)));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

TitleList::~TitleList() {
    if (list_ != nullptr && IsWindow(list_)) KillTimer(list_, TimerId());
}

std::optional<std::size_t> TitleList::SelectedMacro() const {
    return rows_.MacroAt(SelectedRow());
}

std::optional<std::size_t> TitleList::TopMacro() const {
    return rows_.MacroAt(TopRow());
}

void TitleList::Select(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) >= filled_) FillAll();
    SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void TitleList::Fill(const MacroList& macros, VisibleRows rows, int selectRow,
                     std::optional<int> top, bool inSteps) {
    KillTimer(list_, TimerId());
    macros_ = &macros;
    rows_ = std::move(rows);
    std::size_t now = rows_.Count();
    if (inSteps) {
        // The rows up to the selected one and the first shown, and a page past.
        const int furthest = std::max({selectRow, top.value_or(0), 0});
        now = static_cast<std::size_t>(furthest) + kRowsAStep;
    }
    FillTitleList(list_, macros, rows_, now);
    filled_ = std::min(now, rows_.Count());
    // The timer's ID is this owner: the callback finds it without a property.
    if (filled_ < rows_.Count()) SetTimer(list_, TimerId(), USER_TIMER_MINIMUM, FillLater);
    if (top) SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(*top), 0);
    if (selectRow >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selectRow), 0);
}

void CALLBACK TitleList::FillLater(HWND list, UINT, UINT_PTR timer, DWORD) {
    auto* self = reinterpret_cast<TitleList*>(timer);
    const std::size_t to = std::min(self->filled_ + kRowsAStep, self->rows_.Count());
    AddTitles(list, *self->macros_, self->rows_, self->filled_, to);
    self->filled_ = to;
    if (to == self->rows_.Count()) KillTimer(list, timer);
}

void TitleList::FillAll() {
    KillTimer(list_, TimerId());
    if (macros_ == nullptr || filled_ >= rows_.Count()) return;
    AddTitles(list_, *macros_, rows_, filled_, rows_.Count());
    filled_ = rows_.Count();
}

int EntryAt(HWND list, POINT client) {
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (top < 0 || height <= 0 || count <= 0 || client.y < 0) return -1;
    const LRESULT entry = top + client.y / height;
    RECT rect{};
    if (entry >= count ||
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(entry),
                     reinterpret_cast<LPARAM>(&rect)) == LB_ERR ||
        !PtInRect(&rect, client)) {
        return -1;
    }
    return static_cast<int>(entry);
}

// At the mouse, on the entry clicked, which is selected first as Explorer
// does (a list box selects nothing on a right click, and the commands act
// on the selection); or for the keyboard's menu key and Shift+F10 below the
// selected entry.
POINT ListMenuPlace(HWND list, LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (at.x == -1 && at.y == -1) {
        RECT entry{};
        const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (selected < 0 || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                                         reinterpret_cast<LPARAM>(&entry)) == LB_ERR) {
            entry = {};
        }
        // An entry scrolled out of sight: the menu stays on the list.
        RECT area{};
        GetClientRect(list, &area);
        at = {std::clamp(entry.left, area.left, area.right),
              std::clamp(entry.bottom, area.top, area.bottom)};
        ClientToScreen(list, &at);
    } else {
        POINT client = at;
        ScreenToClient(list, &client);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(EntryAt(list, client)), 0);
    }
    return at;
}

}  // namespace kiv

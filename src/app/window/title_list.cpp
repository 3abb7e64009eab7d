#include "app/window/title_list.h"

#include "platform/wide_text.h"

namespace kiv {

void FillTitleList(HWND list, const MacroList& macros) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // Room for all entries up front, so the list does not grow step by step.
    SendMessageW(list, LB_INITSTORAGE, macros.Count(),
                 static_cast<LPARAM>(macros.Count() * 32 * sizeof(wchar_t)));
    // One buffer for every title: LB_ADDSTRING wants it NUL-ended, the list keeps views.
    std::u16string title;
    for (std::size_t position = 1; position <= macros.Count(); ++position) {
        title.assign(macros.Title(position));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(title)));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
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

}  // namespace kiv

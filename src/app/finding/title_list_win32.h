#pragma once
// Puts the macros' titles into a list box, in file order.
#include <windows.h>

#include <cstdint>

#include "app/finding/visible_rows.h"
#include "macro/macro_list.h"

namespace kiv {

// Replaces the list's entries with the titles of `rows`, the first `count`
// of them (all by default); AddTitles adds rows [from, to) after them. The
// list is drawn once at the end, not once per title: 100,000 titles then go
// in within a tenth of a second.
void FillTitleList(HWND list, const MacroList& macros, const VisibleRows& rows,
                   std::size_t count = SIZE_MAX);
void AddTitles(HWND list, const MacroList& macros, const VisibleRows& rows, std::size_t from,
               std::size_t to);

// The entry under `client` (a point in the list's client area), or -1 where
// there is none. LB_ITEMFROMPOINT gives only 16 bits of index, and the
// nearest entry for a point below the last.
int EntryAt(HWND list, POINT client);

// Where the list's right-click menu opens, from WM_CONTEXTMENU's `where`: at
// the mouse, on the entry clicked, which is selected first as Explorer does
// (a list box selects nothing on a right click, and the commands act on the
// selection); or, for the keyboard's menu key and Shift+F10, below the
// selected entry.
POINT ListMenuPlace(HWND list, LPARAM where);

}  // namespace kiv

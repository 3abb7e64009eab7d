#pragma once
// Puts every macro's title into a list box, in file order.
#include <windows.h>

#include "macro/macro_list.h"

namespace kiv {

// Replaces the list's entries. The list is drawn once at the end, not once per
// title: a file of 100,000 macros then fills in a fraction of a second.
void FillTitleList(HWND list, const MacroList& macros);

// The entry under `client` (a point in the list's client area), or -1 where
// there is none. LB_ITEMFROMPOINT gives only 16 bits of index, and the
// nearest entry for a point below the last.
int EntryAt(HWND list, POINT client);

}  // namespace kiv

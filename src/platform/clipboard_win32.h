#pragma once

// The clipboard's text, for a macro that puts it in. Windows only.

#include <windows.h>

#include <string>

namespace kiv {

// At most this much of it: a chat line is short, a clipboard may hold a book.
inline constexpr std::size_t kMostClipboardText = 4096;

// Its text, up to kMostClipboardText characters. Empty when it holds no
// text, when another program kept it open through `tries` short tries (one
// that is copying into it holds it for a moment), or when the program that
// put it there does not answer: text it has yet to render would be waited
// for, and the tool would freeze with it.
std::u16string ClipboardText(HWND owner, int tries);

}  // namespace kiv

#pragma once

// The clipboard's text, for a macro that puts it in. Windows only.

#include <windows.h>

#include <string>

namespace kiv {

// Empty when it holds no text, or when another program kept it open through
// a few short tries (one that is copying into it holds it for a moment).
std::u16string ClipboardText(HWND owner);

}  // namespace kiv

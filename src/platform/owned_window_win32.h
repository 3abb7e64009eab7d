#pragma once

// Windows a window of the tool owns, its dialogs and message boxes, opened
// centred on it (inside its monitor's work area), as Windows' guidance asks
// of owned windows: Windows itself centres them on the screen, which may be
// over the game on another part of it. Windows only.

#include <windows.h>

namespace kiv {

// Centres `window` on its owner; nothing when it has none, or the owner is
// minimised or hidden.
void CenterOnOwner(HWND window);

// MessageBoxW, the box centred on `owner`.
int MessageBoxOverOwner(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

}  // namespace kiv

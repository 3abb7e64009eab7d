#pragma once

// The common controls (hotkey fields, tooltips), loaded the first time a
// feature wants them rather than at every start. Windows only.

#include <windows.h>

namespace kiv {

// Registers the given ICC_ classes; false when the library is missing. Loaded
// by name, so that the program's manifest picks version 6.
bool LoadCommonControls(DWORD classes);

}  // namespace kiv

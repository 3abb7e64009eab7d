#pragma once

// Running the tool as administrator, for a game that runs so: Windows keeps a
// program from sending window messages to one of a higher integrity level.
// Windows only.

#include <windows.h>

#include <string>

namespace kiv {

// True when this process runs elevated (as administrator).
bool IsElevated();

enum class Relaunch { Started, Declined, Failed };

// Starts `program` again as administrator; the user confirms in Windows'
// prompt. `error` receives the system's code when it failed.
Relaunch RelaunchAsAdministrator(HWND owner, const std::u16string& program, DWORD& error);

}  // namespace kiv

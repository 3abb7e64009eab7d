#pragma once

// What the tool asks of the Windows shell: running itself as administrator
// (for a game that runs so: Windows keeps a program from sending window
// messages to one of a higher integrity level), opening the macro file in
// its editor, the files dropped on the window. The shell's libraries load
// when first wanted. Windows only.

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/relaunch.h"

namespace kiv {

// This program's full path.
std::u16string ProgramPath();

// True when this process runs elevated (as administrator).
bool IsElevated();

// Starts `program` again as administrator; the user confirms in Windows'
// prompt. `error` receives the system's code when it failed.
Relaunch RelaunchAsAdministrator(HWND owner, const std::u16string& program, DWORD& error);

// For tests: what stands in for ShellExecuteExW, which would show the
// elevation prompt that no test can answer and Wine never shows. Null: the
// real one.
using ShellExecuteCall = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
void SetShellExecuteCall(ShellExecuteCall call);

// Opens `file` to be edited: with the program Windows associates with
// editing it, or with Notepad where there is none. 0, or the system's error code.
DWORD OpenInEditor(HWND owner, const std::u16string& file);

// Opens `file`'s folder in Explorer with the file selected. 0, or the
// system's error code.
DWORD ShowInExplorer(HWND owner, const std::u16string& file);

// Where a WM_DROPFILES was dropped in the window's client area; nothing
// where it was dropped elsewhere on the window. Before DroppedPaths releases it.
std::optional<POINT> DropPoint(HDROP drop);

// The paths of a WM_DROPFILES, which it then releases.
std::vector<std::u16string> DroppedPaths(HDROP drop);

// The file a shortcut (.lnk) points to, as it stores it; nothing when it
// cannot be read or points to no file system path.
std::optional<std::u16string> ShortcutTarget(const std::u16string& shortcut);

}  // namespace kiv

#pragma once

// The calls that put new contents in a file's place, as a seam. Their
// documented failures (ReplaceFileW's 1175, 1176 and 1177, a move refused
// after them) leave the old and the new contents under different names, and
// no disk, nor Wine, can be made to fail that way on purpose: tests stand in
// for them, doing to the real files what the documentation says happens.
// Windows only.

#include <windows.h>

#include <functional>

namespace kiv {

struct FileSwapCalls {
    // As ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
    // nullptr, nullptr): FALSE with GetLastError() set.
    std::function<BOOL(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup)>
        replace;
    // As MoveFileExW.
    std::function<BOOL(const wchar_t* from, const wchar_t* to, DWORD flags)> move;
    // As Sleep, between tries of a file another program holds for a moment.
    std::function<void(DWORD milliseconds)> pause;
};

// Members left empty are the real calls; the default is all of them.
void SetFileSwapCalls(FileSwapCalls calls);

}  // namespace kiv

#pragma once

// A function of a Windows system DLL, loaded when first asked for, so that a
// DLL a feature needs costs nothing at start-up. Windows only.

#include <windows.h>

namespace kiv {

// Null when the DLL or the function is missing. Only from System32, so that a
// DLL of that name beside the program is never the one loaded.
template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace kiv

#pragma once

// Counts the main window keeps in its properties, where another process can
// read them (GetPropW): what the tool did that shows nowhere else. Tests wait
// on them instead of sleeping and hoping. Windows only.

#include <windows.h>

#include <cstdint>

namespace kiv::window_counts {

inline constexpr wchar_t kDeliveries[] = L"KivMacro.Deliveries";  // macros said
inline constexpr wchar_t kFileLooks[] = L"KivMacro.FileLooks";    // looks after a change
inline constexpr wchar_t kReloads[] = L"KivMacro.Reloads";        // lists read again by itself
// Readings off the window's thread taken, and announcements of one that came
// while the window was not idle.
inline constexpr wchar_t kReadings[] = L"KivMacro.Readings";
inline constexpr wchar_t kReadingsPutOff[] = L"KivMacro.ReadingsPutOff";
// Not a count: the system code page the tool runs under, so that a test of
// another code page knows it got one.
inline constexpr wchar_t kCodePage[] = L"KivMacro.CodePage";

inline std::uintptr_t Get(HWND window, const wchar_t* name) {
    return reinterpret_cast<std::uintptr_t>(GetPropW(window, name));
}

inline void Add(HWND window, const wchar_t* name) {
    SetPropW(window, name, reinterpret_cast<HANDLE>(Get(window, name) + 1));
}

inline void MarkCodePage(HWND window) {
    SetPropW(window, kCodePage, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(GetACP())));
}

// Before the window goes: a window's properties are its owner's to remove.
inline void RemoveAll(HWND window) {
    for (const wchar_t* name :
         {kDeliveries, kFileLooks, kReloads, kReadings, kReadingsPutOff, kCodePage}) {
        RemovePropW(window, name);
    }
}

}  // namespace kiv::window_counts

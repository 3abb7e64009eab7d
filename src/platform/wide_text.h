#pragma once

// The tool keeps its text as UTF-16 in char16_t; the wide Windows API takes
// the same 16-bit units as wchar_t. For the Win32 layer only: elsewhere
// wchar_t may be wider.

#include <string>

namespace kiv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide Windows API is UTF-16");

inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// For a buffer Windows writes into.
inline wchar_t* Wide(std::u16string& text) {
    return reinterpret_cast<wchar_t*>(text.data());
}

}  // namespace kiv

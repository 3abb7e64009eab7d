#pragma once

// A window's text (an edit field's contents), as the tool's strings hold it.
// Windows only.

#include <windows.h>

#include <string>

namespace kiv {

inline std::u16string WindowText(HWND window) {
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(
        window, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

}  // namespace kiv

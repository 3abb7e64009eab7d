#pragma once

// How ansi_text_win32.cpp asks Windows for an exact conversion, for its
// tests. Windows only.

#include <windows.h>

namespace kiv {

// For UTF-8 WideCharToMultiByte takes no flag but WC_ERR_INVALID_CHARS and no
// default-character report: with either it fails (ERROR_INVALID_FLAGS,
// ERROR_INVALID_PARAMETER), so every text would seem to have no exact form.
// Wine takes both, so only this rule can be tested there. CP_ACP is UTF-8
// where the system's code page is.
struct ExactConversion {
    DWORD flags = 0;
    bool reportsDefault = false;  // asks whether a default character was used
};
ExactConversion ExactConversionFor(UINT codePage);

}  // namespace kiv

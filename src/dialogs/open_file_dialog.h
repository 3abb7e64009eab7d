#pragma once

// The system's file-open dialog (ANSI), modal to `owner`. Windows only.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// The chosen path, or empty when the user cancelled or the dialog failed.
std::u16string ShowOpenFileDialog(HWND owner, std::u16string_view dialogTitle,
                                  const std::optional<std::u16string>& initialDirectory,
                                  std::u16string_view initialFile, std::u16string_view filter);

}  // namespace kiv

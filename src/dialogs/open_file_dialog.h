#pragma once

// The system's file-open dialog (ANSI), modal to `owner`. Windows only.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

struct OpenFileDialogResult {
    std::u16string path;      // empty when cancelled or failed
    std::uint32_t error = 0;  // the dialog's own error code when it failed; 0 otherwise
};

// The process's current directory is the same afterwards: the dialog may move
// it into the chosen folder, which Windows then will not let anyone delete.
OpenFileDialogResult ShowOpenFileDialog(HWND owner, std::u16string_view dialogTitle,
                                        const std::optional<std::u16string>& initialDirectory,
                                        std::u16string_view initialFile,
                                        std::u16string_view filter);

}  // namespace kiv

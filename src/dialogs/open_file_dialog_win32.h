#pragma once

// The system's file-open dialog, modal to `owner`. Windows only.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kiv {

struct OpenFileDialogResult {
    std::u16string path;      // empty when cancelled or failed
    std::uint32_t error = 0;  // the dialog's own error code when it failed; 0 otherwise
};

// Opens in the folder of `currentFile` with its name preset. The process's
// current directory is the same afterwards: the dialog may move it into the
// chosen folder, which Windows then will not let anyone delete.
OpenFileDialogResult ShowOpenFileDialog(HWND owner, std::u16string_view dialogTitle,
                                        std::u16string_view currentFile,
                                        std::u16string_view filter);

}  // namespace kiv

#pragma once

// The record the ANSI file-open dialog is called with, built apart from the
// call so that every field can be checked without showing a dialog.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

struct OpenFileRequest {
    // Room for any path the dialog can return: Windows paths stop at 32,767
    // UTF-16 units, at most two CP932 bytes each, and the NUL.
    static constexpr std::size_t kBufferSize = 65536;
    static constexpr std::uint32_t kFlags = 0x80804;  // explorer, path must exist, hide read-only

    std::string filter;  // "|" become NUL, ending in two NULs
    std::uint32_t filterIndex = 1;
    std::string file;  // the preset name, NUL-padded to kBufferSize
    std::string fileTitle;
    std::optional<std::string> initialDirectory;  // none: the dialog's own choice
    std::string title;
    std::uint32_t flags = kFlags;
};

// All texts in the ANSI code page. An empty title gives "ﾌｧｲﾙを開く". The filter
// is cut at "|" before it is converted: in CP932 the byte of "|" is also the
// second byte of characters such as ポ. A name that would not leave room for
// its NUL in the buffer is not preset.
OpenFileRequest BuildOpenFileRequest(std::u16string_view title,
                                     const std::optional<std::u16string>& initialDirectory,
                                     std::u16string_view initialFile, std::u16string_view filter);

// The path in a buffer the dialog filled: up to the first NUL.
std::u16string ChosenPath(std::string_view file);

// What the user is told when the dialog fails (not when it is cancelled), by
// the dialog's extended error code.
std::u16string OpenFileDialogFailureMessage(std::uint32_t errorCode);

}  // namespace kiv

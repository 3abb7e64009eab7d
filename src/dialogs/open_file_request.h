#pragma once

// The record the ANSI file-open dialog is called with, built apart from the
// call so that every field can be checked without showing a dialog.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

struct OpenFileRequest {
    static constexpr std::size_t kBufferSize = 256;
    static constexpr std::uint32_t kFlags = 0x80804;  // explorer, path must exist, hide read-only

    std::string filter;  // "|" become NUL, ending in two NULs
    std::uint32_t filterIndex = 1;
    std::array<char, kBufferSize> file{};  // the preset name, NUL-padded
    std::array<char, kBufferSize> fileTitle{};
    std::optional<std::string> initialDirectory;  // none: the dialog's own choice
    std::string title;
    std::uint32_t flags = kFlags;
};

// All texts in the ANSI code page. An empty title gives "ﾌｧｲﾙを開く". A name
// that would not leave room for its NUL in the 256-byte buffer is not preset.
OpenFileRequest BuildOpenFileRequest(std::u16string_view title,
                                     const std::optional<std::u16string>& initialDirectory,
                                     std::u16string_view initialFile, std::u16string_view filter);

// The path in a buffer the dialog filled: up to the first NUL.
std::u16string ChosenPath(const std::array<char, OpenFileRequest::kBufferSize>& file);

}  // namespace kiv

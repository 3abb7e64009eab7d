#pragma once

// The record the file-open dialog is called with, built apart from the call
// so that every field can be checked without showing a dialog. UTF-16 (the
// dialog's wide form): a path CP932 cannot hold exactly comes back as
// itself, never as a look-alike that names another file.

#include <cstdint>
#include <string>
#include <string_view>

namespace kiv {

struct OpenFileRequest {
    // Room for any path the dialog can return: Windows paths stop at 32,767
    // UTF-16 units, and the NUL.
    static constexpr std::size_t kBufferSize = 32768;
    // Explorer style, the path must exist, no read-only box, and a name that
    // does not exist yet is made only once the user said yes to the dialog's
    // own question.
    static constexpr std::uint32_t kFlags = 0x80804 | 0x2000;

    std::u16string filter;  // "|" become NUL, ending in two NULs
    std::uint32_t filterIndex = 1;
    // The current macro file's full path, NUL-padded to kBufferSize. The
    // dialog opens in its folder with its name preset; an initial folder
    // given apart would be ignored by Windows (since 7) whenever it equals
    // the one of the program's first dialog, in favour of the last folder
    // the user chose: so none is given.
    std::u16string file;
    std::u16string fileTitle;
    std::u16string title;
};

// An empty title gives "ﾌｧｲﾙを開く". A path that would not leave room for its
// NUL in the buffer is not preset.
OpenFileRequest BuildOpenFileRequest(std::u16string_view title, std::u16string_view currentFile,
                                     std::u16string_view filter);

// The path in a buffer the dialog filled: up to the first NUL.
std::u16string ChosenPath(std::u16string_view file);

// What the user is told when the dialog fails (not when it is cancelled), by
// the dialog's extended error code.
std::u16string OpenFileDialogFailureMessage(std::uint32_t errorCode);

}  // namespace kiv

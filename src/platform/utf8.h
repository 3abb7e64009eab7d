#pragma once

// UTF-8 beside the program's UTF-16: for what()-texts, test output, command
// lines and file names outside Windows, and for macro files saved as UTF-8.
// Portable.

#include <string>
#include <string_view>

namespace kiv {

std::string ToUtf8(std::u16string_view text);
// A malformed sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

// Appends the UTF-16 of `bytes` to `out`, leniently: a malformed sequence
// becomes U+FFFD, and with `atEnd` a sequence cut off by the end of the input
// is dropped (a file cut in the middle of a character loses that character).
void AppendFromUtf8(std::string_view bytes, std::u16string& out, bool atEnd = false);

enum class Utf8Form {
    Ascii,      // nothing but ASCII: UTF-8 and CP932 read it alike
    MultiByte,  // well-formed UTF-8 with at least one sequence of two bytes or more
    Malformed,
};
// What `bytes` are as UTF-8; with `atEnd` a sequence cut off at the very end
// does not make them malformed.
Utf8Form ClassifyUtf8(std::string_view bytes, bool atEnd = false);

// ClassifyUtf8 and AppendFromUtf8 in one pass: appends the UTF-16 of bytes
// that are well-formed; for malformed ones `out` is left as it was.
Utf8Form AppendFromWellFormedUtf8(std::string_view bytes, std::u16string& out, bool atEnd = false);

}  // namespace kiv

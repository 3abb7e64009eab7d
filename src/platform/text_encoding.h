#pragma once

// Which encoding a text file's bytes are in, decided the same way for every
// file of the user's that the tool reads and writes: the macro file and the
// settings file. Portable.
//
// A byte-order mark decides (UTF-8 EF BB BF, UTF-16 LE FF FE, UTF-16 BE FE FF)
// and is no part of the text. Without one, a file that is well-formed UTF-8
// and holds a multi-byte sequence is UTF-8; any other is Ansi: in the file
// code page (FileCodePage(), ansi_text.h), the system's as it always was, or
// CP932 where the system's code page is UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/utf8.h"

namespace kiv {

enum class TextEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

struct ByteOrderMark {
    TextEncoding encoding;
    std::size_t size;
};
std::optional<ByteOrderMark> MarkAtStart(std::string_view bytes);
// For a file without a mark, from what its bytes are as UTF-8.
TextEncoding EncodingWithoutMark(Utf8Form wholeFile);

// A whole file's encoding, and whether it begins with its mark: what it is
// written back in.
struct FileEncoding {
    TextEncoding encoding = TextEncoding::Ansi;
    bool marked = false;
    friend bool operator==(const FileEncoding&, const FileEncoding&) = default;
};
FileEncoding EncodingOfFile(std::string_view bytes);
// The mark's bytes; empty for a file without one.
std::string_view MarkOf(FileEncoding encoding);

// Appends the text of `bytes` (after any mark). With `atEnd` a character cut
// off by the end of the bytes is dropped, as a file cut short loses it.
void AppendDecoded(std::string_view bytes, TextEncoding encoding, std::u16string& out, bool atEnd);
// The bytes that read back as exactly `text`, without a mark; nothing when
// the encoding lacks one of its characters.
std::optional<std::string> EncodedExactly(std::u16string_view text, TextEncoding encoding);
// As EncodedExactly, but a character the encoding lacks is written as "?":
// for text refused before it came here, so that writing it never fails.
std::string EncodedAsNearly(std::u16string_view text, TextEncoding encoding);
// The characters of `text` the encoding lacks, as code points, each once, in
// the order they first appear: for telling the user which ones.
std::vector<char32_t> CharactersEncodingLacks(std::u16string_view text, TextEncoding encoding);

}  // namespace kiv

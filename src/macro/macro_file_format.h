#pragma once
// How a macro file's bytes become lines of text: one reader for the tool and
// the checker, so that both read every file the same way.
//
// Encoding. A byte-order mark decides (UTF-8 EF BB BF, UTF-16 LE FF FE,
// UTF-16 BE FE FF) and is no part of the first line. Without one, a file that
// is well-formed UTF-8 and holds a multi-byte sequence is UTF-8; any other is
// in the system's code page (CP932), as it always was: TextEncoding::Ansi,
// read in FileCodePage() (ansi_text.h). The rule cannot mistake Japanese CP932 text: the
// lead bytes of kana and of most kanji (0x81-0x9F) are UTF-8 continuation
// bytes, which no UTF-8 sequence starts with, and half-width katakana
// (0xA1-0xDF) are continuation bytes too, or two-byte leads whose partner
// would have to be a continuation byte as well. A real line of Japanese breaks
// UTF-8's rules within a character or two; only a file made of nothing but a
// few such accidental pairs (ﾃｽ alone reads as "ý") would pass.
//
// No text. A file without a mark that holds a NUL byte is no macro file:
// none of the encodings read without a mark puts one in text (UTF-16, whose
// ASCII is half NULs, is read only with its mark), while a program or a
// picture renamed .txt nearly always has one. The reader refuses it
// (NotMacroFileText) rather than fill the list with broken rows.
//
// Line ends. A file with a CR anywhere is read as always: CR LF or a lone CR
// ends a line, a lone LF stays inside it. A file without any CR but with LFs
// is read with LF as its line end.
//
// Both rules are about the whole file, yet the reader streams: it decides as
// it goes, and in the rare file where a late line overturns an early guess
// (LF-ended lines, then a CR; UTF-8 lines, then one that is not) it reads the
// file once more from the start.
//
// A line: the message is what precedes the first TAB, the title what follows
// it (further TABs included); a line without a TAB is both. Lines holding
// nothing but spaces (ASCII or ideographic) are skipped.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "macro/macro.h"
#include "platform/file_error.h"
#include "platform/text_encoding.h"
#include "platform/utf8.h"

namespace kiv {

inline bool IsBlankLine(std::u16string_view line) {
    // U+3000 counts too: a line of full-width spaces typed with a Japanese IME
    // would otherwise show as an empty, unexplained entry.
    return std::all_of(line.begin(), line.end(),
                       [](char16_t c) { return c == u' ' || c == u'\u3000'; });
}

// The two decisions about a whole file, written once for the reader and the
// editor (file_text.h), which make them each its own way: the reader as the
// lines come, the editor from the bytes at once. The encoding's are
// text_encoding.h's, which the settings file shares.
enum class LineEnds { None, CarriageReturn, LineFeed };
LineEnds LineEndsOf(bool hasCarriageReturn, bool hasLineFeed);

struct MacroFileLine {
    std::u16string_view text;
    std::string_view bytes;  // the line as stored, in Ansi and UTF-8; empty in UTF-16
    TextEncoding encoding;   // what it was read as (Ansi for ASCII before any other)
};
using MacroFileLineSink = std::function<void(const MacroFileLine&)>;

// The line a file holds for `macro`: the message alone when it is its own
// title, otherwise message, TAB, title. The macro a line holds, the other way.
std::u16string MacroLineText(const Macro& macro);
Macro MacroOfLine(std::u16string_view line);
// Where a line's message ends: at its first TAB, the title's start just past
// it; npos for a line that is its own title.
inline std::size_t MessageEndIn(std::u16string_view line) {
    return line.find(u'\t');
}

// Why `text` cannot stand in a line of a file in `encoding` and read back as
// exactly itself (Japanese, beginning with `field`, the name of the field it
// was typed into); empty when it can. A TAB reads back only in a title, after
// the one that ends the message.
struct TextRules {
    bool tabAllowed = false;
};
std::u16string WhyTextCannotBeWritten(std::u16string_view field, std::u16string_view text,
                                      TextEncoding encoding, TextRules rules);

// Why `macro` cannot be written as one line of a file in `fileEncoding` that
// reads back as exactly `macro` (Japanese, naming 「メッセージ」 or
// 「タイトル」); empty when it can.
std::u16string WhyMacroCannotBeWritten(const Macro& macro, TextEncoding fileEncoding);

// What ReadMacroFileLines throws for a file that holds no text, after any
// lines it gave; and the refusal as the user is told it, naming the file.
class NotMacroFileText : public std::runtime_error {
  public:
    NotMacroFileText() : std::runtime_error("a NUL byte in a file without a byte-order mark") {}
};
FileError NotMacroFileTextError(const std::u16string& path);

// Fills a buffer from the file, in order; 0 at the end.
using ByteReader = std::function<std::size_t(char* buffer, std::size_t capacity)>;

// Gives `line` every line of the file, blank ones included, in order.
// `open` starts a reading at the file's first byte; it is called once more
// when a late decision needs a second reading, after `restart`, which tells
// the caller to forget the lines it was given. Returns the file's encoding;
// throws NotMacroFileText for a file that holds no text. What `open` and the
// reader throw passes through.
TextEncoding ReadMacroFileLines(const std::function<ByteReader()>& open,
                                const std::function<void()>& restart,
                                const MacroFileLineSink& line);

}  // namespace kiv

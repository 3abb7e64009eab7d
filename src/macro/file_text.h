#pragma once

// The text of a macro file as the editor works on it, without decoding it:
// how text units sit in the bytes, where lines begin and end as the reader
// cuts them, and which lines hold macros. Offsets are into one reading of the
// file, whole in memory; nothing is kept between changes. Portable.

#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "macro/macro.h"
#include "macro/macro_file_format.h"
#include "platform/utf8.h"

namespace kiv::file_text {

inline constexpr std::size_t kNone = std::string_view::npos;

// How text units sit in the bytes: one byte each in CP932 and UTF-8 (CR and
// LF are never part of a multi-byte character there), two in UTF-16. Offsets
// are counted from the start of the data searched, which is always where a
// unit starts.
struct Units {
    std::size_t size = 1;
    bool bigEndian = false;

    char16_t At(std::string_view data, std::size_t pos) const {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
        if (size == 1) return byte(pos);
        return static_cast<char16_t>(bigEndian ? byte(pos) << 8 | byte(pos + 1)
                                               : byte(pos) | byte(pos + 1) << 8);
    }

    // Where the first `unit` (an ASCII one) in data[from, end) starts, or kNone.
    std::size_t Find(std::string_view data, std::size_t from, std::size_t end,
                     char16_t unit) const {
        while (from < end) {
            const void* found =
                std::memchr(data.data() + from, static_cast<char>(unit), end - from);
            if (found == nullptr) return kNone;
            const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data.data());
            if (size == 1) return at;
            // In UTF-16 the byte may be half of another unit.
            const std::size_t start = bigEndian ? at - 1 : at;
            if (at % 2 == (bigEndian ? 1u : 0u) && start + 2 <= end && At(data, start) == unit) {
                return start;
            }
            from = at + 1;
        }
        return kNone;
    }
};

struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;  // past its line end
};

// The line starting at `begin`, as the reader cuts lines: a CR LF is one line
// end, and where CRs end lines a lone LF is part of one.
Line LineIn(const Units& units, std::string_view data, std::size_t begin, std::size_t end,
            LineEnds ends);

LineEnds EndsIn(const Units& units, std::span<const std::string_view> pieces);

bool IsHighSurrogate(char16_t c);

// A macro file's bytes as the reader sees them (macro_file_format.h): the
// encoding and the line ends are decided here the same way, from the whole
// file, without decoding it.
class FileText {
  public:
    explicit FileText(std::string_view bytes);

    std::string_view Bytes() const { return bytes_; }
    TextEncoding Encoding() const { return encoding_; }
    bool HasMark() const { return begin_ != 0; }
    // Without a mark: what the bytes are as UTF-8 (the reader's choice).
    Utf8Form Form() const { return form_; }
    const Units& TextUnits() const { return units_; }
    std::size_t Begin() const { return begin_; }
    std::size_t End() const { return end_; }
    LineEnds Ends() const { return ends_; }

    Line LineAt(std::size_t begin) const { return LineIn(units_, bytes_, begin, end_, ends_); }

    // `last`: the bytes end the file without a line end, where the reader
    // drops a character cut off.
    std::u16string Decode(std::string_view content, bool last) const;

    std::u16string TextOf(const Line& line) const;

    Macro MacroOf(const Line& line) const;

    bool IsBlank(const Line& line) const;

    // The bytes that read back as exactly `text`, or nothing: the file's code
    // page may lack a character (checked beforehand, WhyMacroCannotBeWritten).
    std::optional<std::string> Encode(std::u16string_view text) const;

    // The line end a new line gets: the file's most common one, CR LF when
    // it has none.
    std::string NewLineEnd() const;

    // Whether the line's text, written again, gives back its very bytes. A
    // byte the encoding has no character for reads as a stand-in (U+FFFD,
    // U+30FB), and a line rewritten from its text would lose it.
    bool RewritesExactly(const Line& line) const {
        const std::optional<std::string> again = Encode(TextOf(line));
        return again && *again == bytes_.substr(line.begin, line.contentEnd - line.begin);
    }

  private:
    std::string_view bytes_;
    TextEncoding encoding_ = TextEncoding::Ansi;
    Utf8Form form_ = Utf8Form::Ascii;
    Units units_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    LineEnds ends_ = LineEnds::None;
};

struct MacroLine {
    Line line;
    std::size_t lineBefore = kNone;  // where the line just before it begins, blank or not
};

// The macro lines of a file in order, walked only as far as needed.
class MacroWalker {
  public:
    explicit MacroWalker(const FileText& file) : file_(file), next_(file.Begin()) {}

    std::optional<MacroLine> Next() {
        while (next_ < file_.End()) {
            const Line line = file_.LineAt(next_);
            const std::size_t before = last_ ? last_->begin : kNone;
            last_ = line;
            next_ = line.end;
            if (!file_.IsBlank(line)) {
                ++count_;
                return MacroLine{line, before};
            }
        }
        return std::nullopt;
    }

    std::size_t Count() const { return count_; }
    // The last line walked, blank or not: once walked to the end, the file's last.
    const std::optional<Line>& LastLine() const { return last_; }

  private:
    const FileText& file_;
    std::size_t next_;
    std::size_t count_ = 0;
    std::optional<Line> last_;
};

}  // namespace kiv::file_text

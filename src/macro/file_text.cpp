#include "macro/file_text.h"

#include <cstring>

#include "macro/macro.h"
#include "platform/ansi_text.h"

namespace kiv::file_text {

// The line starting at `begin`, as the reader cuts lines: a CR LF is one line
// end, and where CRs end lines a lone LF is part of one.
Line LineIn(const Units& units, std::string_view data, std::size_t begin, std::size_t end,
            LineEnds ends) {
    if (ends == LineEnds::None) return {begin, end, end};
    const char16_t ender = ends == LineEnds::LineFeed ? u'\n' : u'\r';
    const std::size_t found = units.Find(data, begin, end, ender);
    if (found == kNone) return {begin, end, end};
    std::size_t after = found + units.size;
    if (ender == u'\r' && after + units.size <= end && units.At(data, after) == u'\n') {
        after += units.size;
    }
    return {begin, found, after};
}

LineEnds EndsIn(const Units& units, std::span<const std::string_view> pieces) {
    const auto any = [&](char16_t unit) {
        return std::any_of(pieces.begin(), pieces.end(), [&](std::string_view piece) {
            return units.Find(piece, 0, piece.size(), unit) != kNone;
        });
    };
    return LineEndsOf(any(u'\r'), any(u'\n'));
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

FileText::FileText(std::string_view bytes) : bytes_(bytes) {
    if (const std::optional<ByteOrderMark> mark = MarkAtStart(bytes)) {
        encoding_ = mark->encoding;
        begin_ = mark->size;
        if (encoding_ != TextEncoding::Utf8) units_ = {2, encoding_ == TextEncoding::Utf16Be};
    } else {
        form_ = ClassifyUtf8(bytes, true);
        encoding_ = EncodingWithoutMark(form_);
    }
    // An odd last byte of UTF-16 is half a character, which no line holds.
    end_ = begin_ + (bytes.size() - begin_) / units_.size * units_.size;
    const std::string_view text = bytes.substr(0, end_);
    ends_ = LineEndsOf(units_.Find(text, begin_, end_, u'\r') != kNone,
                       units_.Find(text, begin_, end_, u'\n') != kNone);
}

std::u16string FileText::Decode(std::string_view content, bool last) const {
    std::u16string text;
    AppendDecoded(content, encoding_, text, last);
    return text;
}

std::u16string FileText::TextOf(const Line& line) const {
    return Decode(bytes_.substr(line.begin, line.contentEnd - line.begin), line.contentEnd == end_);
}

Macro FileText::MacroOf(const Line& line) const {
    return MacroOfLine(TextOf(line));
}

bool FileText::IsBlank(const Line& line) const {
    if (line.contentEnd == line.begin) return true;
    // Most lines are told at their first unit without decoding them: only
    // a space or U+3000 (0x81 0x40 in CP932, 0xE3 0x80 0x80 in UTF-8) can
    // start a blank one. The file's last line may also be nothing but a
    // character its end cut off, which reads as nothing.
    const char16_t first = units_.At(bytes_, line.begin);
    const bool maySpace = first == u' ' || first == u'\u3000' ||
                          (units_.size == 1 && (first == 0x81 || first == 0xE3));
    return (maySpace || line.contentEnd == end_) && IsBlankLine(TextOf(line));
}

std::optional<std::string> FileText::Encode(std::u16string_view text) const {
    return EncodedExactly(text, encoding_);
}

std::string FileText::NewLineEnd() const {
    if (ends_ == LineEnds::LineFeed) return *Encode(u"\n");
    std::size_t pairs = 0;
    std::size_t lone = 0;
    if (ends_ == LineEnds::CarriageReturn) {
        for (std::size_t at = units_.Find(bytes_, begin_, end_, u'\r'); at != kNone;
             at = units_.Find(bytes_, at + units_.size, end_, u'\r')) {
            const std::size_t after = at + units_.size;
            (after < end_ && units_.At(bytes_, after) == u'\n' ? pairs : lone) += 1;
        }
    }
    return *Encode(lone > pairs ? u"\r" : u"\r\n");
}

}  // namespace kiv::file_text

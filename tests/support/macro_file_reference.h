#pragma once
// A macro file read whole, by the rules as a user would state them, for the
// streaming reader (which decides as it goes and may read again) to be
// compared with. Slow and plain on purpose.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_file_format.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"

namespace kiv::test {

struct LineRead {
    std::u16string text;
    std::string bytes;  // as stored; empty in UTF-16
    friend bool operator==(const LineRead&, const LineRead&) = default;
};

struct LinesRead {
    TextEncoding encoding = TextEncoding::Ansi;
    std::vector<LineRead> lines;  // blank ones included
    bool notText = false;         // refused: no lines
    friend bool operator==(const LinesRead&, const LinesRead&) = default;
};

// Any CR makes CR LF and a lone CR the line ends, else LF is. An unended last
// line counts when it holds something; `unended` tells whether it is there.
template <typename Char>
std::vector<std::basic_string<Char>> CutLines(std::basic_string_view<Char> text, bool& unended) {
    const Char end = text.find(Char('\r')) != text.npos ? Char('\r') : Char('\n');
    std::vector<std::basic_string<Char>> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != end) {
            lines.back() += text[i];
            continue;
        }
        if (end == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
        lines.emplace_back();
    }
    unended = !lines.back().empty();
    if (!unended) lines.pop_back();
    return lines;
}

inline LinesRead ReadWholeMacroFile(std::string_view file) {
    LinesRead read;
    bool unended = false;
    const bool little = file.starts_with("\xFF\xFE");
    if (little || file.starts_with("\xFE\xFF")) {
        read.encoding = little ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
        std::u16string units;
        // An odd last byte is half a character: not read.
        for (std::size_t i = 2; i + 1 < file.size(); i += 2) {
            const auto first = static_cast<unsigned char>(file[i]);
            const auto second = static_cast<unsigned char>(file[i + 1]);
            units += static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
        }
        for (std::u16string& line : CutLines<char16_t>(units, unended)) {
            read.lines.push_back({std::move(line), {}});
        }
        // A file cut between the halves of a surrogate pair loses the character.
        if (unended && read.lines.back().text.back() >= 0xD800 &&
            read.lines.back().text.back() < 0xDC00) {
            read.lines.back().text.pop_back();
        }
        return read;
    }
    if (file.starts_with("\xEF\xBB\xBF")) {
        read.encoding = TextEncoding::Utf8;
        file.remove_prefix(3);
    } else if (file.find('\0') != std::string_view::npos) {
        read.notText = true;  // no text of any encoding read without a mark holds a NUL
        return read;
    } else if (ClassifyUtf8(file, true) == Utf8Form::MultiByte) {
        // Well-formed to the end, where a cut character is forgiven only after
        // a whole multi-byte one (before that, the bytes are CP932's).
        read.encoding = TextEncoding::Utf8;
    }
    const std::vector<std::string> lines = CutLines<char>(file, unended);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::u16string text;
        if (read.encoding == TextEncoding::Utf8) {
            AppendFromUtf8(lines[i], text, unended && i + 1 == lines.size());
        } else {
            text = FromAnsi(lines[i]);
        }
        read.lines.push_back({std::move(text), lines[i]});
    }
    return read;
}

// The streaming reader's lines, the file arriving `piece` bytes at a time
// (0: as much as is asked for); `readings` counts how often it was opened.
inline LinesRead ReadMacroFileInPieces(std::string_view file, std::size_t piece,
                                       int* readings = nullptr) {
    LinesRead read;
    try {
        read.encoding = ReadMacroFileLines(
            [&] {
                if (readings) ++*readings;
                return [&, rest = file](char* buffer, std::size_t capacity) mutable {
                    const std::size_t take =
                        std::min({capacity, piece == 0 ? capacity : piece, rest.size()});
                    std::copy_n(rest.data(), take, buffer);
                    rest.remove_prefix(take);
                    return take;
                };
            },
            [&] { read.lines.clear(); },
            [&](const MacroFileLine& line) {
                read.lines.push_back({std::u16string(line.text), std::string(line.bytes)});
            });
    } catch (const NotMacroFileText&) {
        return {.encoding = TextEncoding::Ansi, .lines = {}, .notText = true};
    }
    return read;
}

}  // namespace kiv::test

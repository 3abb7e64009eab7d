#include "macro/macro_file_check.h"

#include <algorithm>
#include <unordered_map>

#include "macro/line_preparation.h"
#include "macro/macro_file_format.h"
#include "macro/macro_texts.h"
#include "macro/macro_tokens.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

using Kind = MacroFileFinding::Kind;

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The first character (1-based) whose bytes do not come back unchanged from a
// trip through UTF-16, which is what every message takes on its way to the
// game; 0 when all do.
std::size_t FirstLostCharacter(std::string_view bytes) {
    std::size_t column = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        ++column;
        if (c < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = IsLeadByte(c) && pos + 1 < bytes.size() ? 2 : 1;
        const std::string_view piece = bytes.substr(pos, length);
        if (ToAnsi(FromAnsi(piece)) != piece) return column;
        pos += length;
    }
    return 0;
}

// The same for text read from UTF-8 or UTF-16: the first character that CP932
// lacks (it arrives as "?"), counting a surrogate pair as one; 0 when none.
std::size_t FirstCharacterCp932Lacks(std::u16string_view text, std::u16string& character) {
    std::size_t column = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const bool pair = text[pos] >= 0xD800 && text[pos] < 0xDC00 && pos + 1 < text.size() &&
                          text[pos + 1] >= 0xDC00 && text[pos + 1] < 0xE000;
        const std::u16string_view piece = text.substr(pos, pair ? 2 : 1);
        ++column;
        if (piece[0] >= 0x80 && FromAnsi(ToAnsi(piece)) != piece) {
            character = piece;
            return column;
        }
        pos += piece.size();
    }
    return 0;
}

std::size_t CountSeparators(std::u16string_view message) {
    std::size_t count = 0;
    for (std::size_t at = message.find(kLineSeparator); at != message.npos;
         at = message.find(kLineSeparator, at + kLineSeparator.size())) {
        ++count;
    }
    return count;
}

bool IsTabsOnly(std::u16string_view line) {
    return line.find(u'\t') != line.npos && std::all_of(line.begin(), line.end(), [](char16_t c) {
               return c == u'\t' || c == u' ' || c == u'\u3000';
           });
}

std::u16string NumberText(std::size_t value) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return text;
}

// "U+2665", "U+1F600": the character's number, for a report shown in a code
// page that cannot show the character itself.
std::u16string CodePointText(std::u16string_view character) {
    char32_t value = character[0];
    if (character.size() == 2) value = 0x10000 + ((value - 0xD800) << 10) + (character[1] - 0xDC00);
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string hex;
    for (char32_t rest = value; rest != 0 || hex.size() < 4; rest >>= 4) {
        hex.insert(hex.begin(), kDigits[rest & 0xF]);
    }
    return u"U+" + hex;
}

// Characters, a surrogate pair counting as one.
std::size_t CharactersIn(std::u16string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char16_t c) { return c < 0xDC00 || c >= 0xE000; }));
}

Kind KindOf(TokenSlip::Kind slip) {
    switch (slip) {
        case TokenSlip::Kind::NotWellFormed:
            return Kind::TokenNotWellFormed;
        case TokenSlip::Kind::WaitOutOfRange:
            return Kind::WaitOutOfRange;
        case TokenSlip::Kind::WaitNotAtStart:
            return Kind::WaitNotAtStart;
        case TokenSlip::Kind::NowBesideText:
            break;
    }
    return Kind::NowBesideText;
}

}  // namespace

std::vector<MacroFileFinding> CheckMacroFile(std::string_view bytes) {
    std::vector<MacroFileFinding> findings;
    std::unordered_map<std::u16string, std::size_t> firstLineOfTitle;
    std::size_t line = 1;
    const auto check = [&](const MacroFileLine& read) {
        const std::size_t first = line;
        // As an editor counts: a lone LF that stays inside the line is a line of its own there.
        line += 1 + static_cast<std::size_t>(std::count(read.text.begin(), read.text.end(), u'\n'));
        if (line - first > 1) {
            findings.push_back({.kind = Kind::LineFeedOnly, .line = first, .lastLine = line - 1});
        }
        if (IsBlankLine(read.text)) return;
        // Read as CP932, a byte sequence the code page lacks is what gets lost;
        // read as Unicode, a character it lacks.
        std::u16string lacking;
        const std::size_t column = read.encoding == TextEncoding::Ansi
                                       ? FirstLostCharacter(read.bytes)
                                       : FirstCharacterCp932Lacks(read.text, lacking);
        if (column != 0) {
            findings.push_back(
                {.kind = Kind::NotCp932, .line = first, .column = column, .detail = lacking});
        }
        if (IsTabsOnly(read.text)) {
            findings.push_back({.kind = Kind::TabsOnly, .line = first});
            return;
        }
        const std::size_t tab = MessageEndIn(read.text);
        const std::u16string_view message = read.text.substr(0, tab);
        if (const std::size_t count = CountSeparators(message); count >= kMaxLinesPerMessage) {
            findings.push_back({.kind = Kind::TooManySeparators, .line = first, .count = count});
        }
        for (const std::u16string_view chat : SplitMessage(message)) {
            const auto offset = static_cast<std::size_t>(chat.data() - message.data());
            for (const TokenSlip& slip : TokenSlipsIn(chat)) {
                findings.push_back(
                    {.kind = KindOf(slip.kind),
                     .line = first,
                     .column = CharactersIn(message.substr(0, offset + slip.offset)) + 1,
                     .detail = std::u16string(slip.text)});
            }
        }
        std::u16string title(tab == std::u16string_view::npos ? read.text
                                                              : read.text.substr(tab + 1));
        const auto [known, added] = firstLineOfTitle.try_emplace(title, first);
        if (!added) {
            findings.push_back({.kind = Kind::DuplicateTitle,
                                .line = first,
                                .otherLine = known->second,
                                .detail = std::move(title)});
        }
    };
    ReadMacroFileLines(
        [&] {
            return [&, rest = bytes](char* buffer, std::size_t capacity) mutable {
                const std::size_t take = std::min(capacity, rest.size());
                std::copy_n(rest.data(), take, buffer);
                rest.remove_prefix(take);
                return take;
            };
        },
        [&] {
            findings.clear();
            firstLineOfTitle.clear();
            line = 1;
        },
        check);
    return findings;
}

std::u16string Describe(const MacroFileFinding& finding) {
    switch (finding.kind) {
        case Kind::LineFeedOnly:
            return Fill(texts::kLineFeedOnly,
                        {NumberText(finding.line), NumberText(finding.lastLine)});
        case Kind::NotCp932:
            if (finding.detail.empty()) {
                return Fill(texts::kBadBytes, {NumberText(finding.column)});
            }
            // What arrives is what the code page makes of it: "?", or a look-alike.
            return Fill(texts::kNotInCp932,
                        {NumberText(finding.column), finding.detail, CodePointText(finding.detail),
                         FromAnsi(ToAnsi(finding.detail))});
        case Kind::TooManySeparators:
            return Fill(texts::kTooManySeparators, {NumberText(finding.count)});
        case Kind::TabsOnly:
            return std::u16string(texts::kTabsOnly);
        case Kind::DuplicateTitle:
            return Fill(texts::kDuplicateTitle, {finding.detail, NumberText(finding.otherLine)});
        case Kind::TokenNotWellFormed:
            return Fill(texts::kTokenNotWellFormed, {NumberText(finding.column), finding.detail});
        case Kind::WaitOutOfRange:
            return Fill(texts::kWaitOutOfRange, {NumberText(finding.column), finding.detail});
        case Kind::WaitNotAtStart:
            return Fill(texts::kWaitNotAtStart, {NumberText(finding.column), finding.detail});
        case Kind::NowBesideText:
            return Fill(texts::kNowBesideText, {NumberText(finding.column)});
    }
    return {};
}

}  // namespace kiv

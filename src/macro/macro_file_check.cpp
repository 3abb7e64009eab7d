#include "macro/macro_file_check.h"

#include <algorithm>
#include <unordered_map>

#include "macro/line_preparation.h"
#include "macro/macro_file_format.h"
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

// Whether the bytes are well-formed UTF-8 with at least one non-ASCII character.
bool IsUtf8Text(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        std::size_t extra = 0;
        if (c < 0x80) {
            ++pos;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (pos + extra >= bytes.size()) return false;
        for (std::size_t i = 1; i <= extra; ++i) {
            if ((static_cast<unsigned char>(bytes[pos + i]) & 0xC0) != 0x80) return false;
        }
        multiByte = true;
        pos += extra + 1;
    }
    return multiByte;
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

}  // namespace

std::vector<MacroFileFinding> CheckMacroFile(std::string_view bytes) {
    std::vector<MacroFileFinding> findings;
    // Reported once; the characters after it are checked as the editor shows them.
    std::size_t markLength = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        findings.push_back({.kind = Kind::ByteOrderMark, .line = 1, .detail = u"UTF-8"});
        markLength = 3;
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        findings.push_back({.kind = Kind::ByteOrderMark, .line = 1, .detail = u"UTF-16"});
        markLength = 2;
    }

    std::unordered_map<std::u16string, std::size_t> firstLineOfTitle;
    std::size_t line = 1;
    LineSplitter splitter([&](std::string_view lineBytes) {
        const std::size_t first = line;
        line += 1 + static_cast<std::size_t>(std::count(lineBytes.begin(), lineBytes.end(), '\n'));
        if (line - first > 1) {
            findings.push_back({.kind = Kind::LineFeedOnly, .line = first, .lastLine = line - 1});
        }
        const std::u16string text = FromAnsi(lineBytes);
        if (IsBlankLine(text)) return;
        const std::size_t skipped = first == 1 ? markLength : 0;
        if (const std::size_t column = FirstLostCharacter(lineBytes.substr(skipped)); column != 0) {
            findings.push_back({.kind = Kind::NotCp932, .line = first, .column = column});
        }
        if (IsTabsOnly(text)) {
            findings.push_back({.kind = Kind::TabsOnly, .line = first});
            return;
        }
        const std::size_t tab = text.find(u'\t');
        const std::u16string_view message = std::u16string_view(text).substr(0, tab);
        if (const std::size_t count = CountSeparators(message); count >= kMaxLinesPerMessage) {
            findings.push_back({.kind = Kind::TooManySeparators, .line = first, .count = count});
        }
        std::u16string title = tab == text.npos ? text : text.substr(tab + 1);
        const auto [known, added] = firstLineOfTitle.try_emplace(title, first);
        if (!added) {
            findings.push_back({.kind = Kind::DuplicateTitle,
                                .line = first,
                                .otherLine = known->second,
                                .detail = std::move(title)});
        }
    });
    splitter.Feed(bytes.data(), bytes.size());
    splitter.Finish();

    // Japanese CP932 text is almost never well-formed UTF-8 (its kana lead
    // bytes are UTF-8 continuation bytes), so this tells the two apart.
    if (IsUtf8Text(bytes.substr(markLength))) {
        findings.insert(findings.begin(), {.kind = Kind::LooksLikeUtf8});
    }
    return findings;
}

std::u16string Describe(const MacroFileFinding& finding) {
    switch (finding.kind) {
        case Kind::ByteOrderMark:
            return u"ファイルの先頭に BOM (" + finding.detail +
                   u") があります。最初のマクロの先頭に余計な文字として送られます。"
                   u"BOM なしの CP932 (Shift_JIS) で保存してください。";
        case Kind::LooksLikeUtf8:
            return u"ファイルが UTF-8 で保存されているようです。"
                   u"CP932 (Shift_JIS) で保存し直してください。";
        case Kind::LineFeedOnly:
            return u"改行が LF だけです。行は CR LF か CR でしか分かれないため、" +
                   NumberText(finding.line) + u" 行目から " + NumberText(finding.lastLine) +
                   u" 行目までが一つのマクロになります。";
        case Kind::NotCp932:
            return NumberText(finding.column) +
                   u" 文字目に CP932 で表せない文字 (不正なバイト列) があります。"
                   u"ゲームには別の文字が届きます。";
        case Kind::TooManySeparators:
            return u"メッセージに区切りの \\n が " + NumberText(finding.count) +
                   u" 個あります。送られるのは 3 行までで、3 個目からの \\n "
                   u"はそのまま文字として送られます。";
        case Kind::TabsOnly:
            return u"TAB だけの行です。見出しの見えない項目になり、選んでも何も送られません。";
        case Kind::DuplicateTitle:
            return u"見出し「" + finding.detail + u"」は " + NumberText(finding.otherLine) +
                   u" 行目と同じです。";
    }
    return {};
}

}  // namespace kiv

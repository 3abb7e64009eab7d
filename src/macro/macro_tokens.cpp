#include "macro/macro_tokens.h"

#include <algorithm>
#include <array>

#include "platform/case_fold.h"

namespace kiv {
namespace {

constexpr std::array<std::u16string_view, 9> kTokensWords = {
    u"now", u"time", u"date", u"count", u"rand", u"clip", u"ask", u"wait", u"lt"};

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsNameCharacter(char16_t c) {
    const auto in = [c](char16_t first, char16_t last) { return c >= first && c <= last; };
    return IsAsciiLetter(c) || in(u'0', u'9') || in(u'\uFF10', u'\uFF19') ||
           in(u'\uFF21', u'\uFF3A') ||                              // full-width
           in(u'\uFF41', u'\uFF5A') ||                              // digits and letters
           in(u'\u3041', u'\u3096') || in(u'\u309D', u'\u309E') ||  // hiragana
           in(u'\u30A1', u'\u30FA') || in(u'\u30FC', u'\u30FE') ||  // katakana, ー
           in(u'\uFF66', u'\uFF9F') ||                              // half-width katakana
           c == u'\u3005' ||                                        // 々
           in(u'\u3400', u'\u4DBF') || in(u'\u4E00', u'\u9FFF') || in(u'\uF900', u'\uFAFF');
}

bool StartsWith(std::u16string_view text, std::u16string_view start) {
    return text.substr(0, start.size()) == start;
}

// "wait.N" with N digits and at most one decimal, in tenths of a second,
// whatever its range.
std::optional<int> WaitTenths(std::u16string_view body) {
    constexpr std::u16string_view kWait = u"wait.";
    if (!StartsWith(body, kWait)) return std::nullopt;
    std::u16string_view number = body.substr(kWait.size());
    const std::size_t point = number.find(u'.');
    const std::u16string_view whole = number.substr(0, point);
    const std::u16string_view decimal =
        point == std::u16string_view::npos ? std::u16string_view{} : number.substr(point + 1);
    if (whole.empty() || whole.size() > 4 ||
        (point != std::u16string_view::npos && decimal.size() != 1)) {
        return std::nullopt;
    }
    int tenths = 0;
    for (const char16_t c : whole) {
        if (c < u'0' || c > u'9') return std::nullopt;
        tenths = tenths * 10 + (c - u'0');
    }
    tenths *= 10;
    if (!decimal.empty()) {
        if (decimal[0] < u'0' || decimal[0] > u'9') return std::nullopt;
        tenths += decimal[0] - u'0';
    }
    return tenths;
}

// The text between a "<" at the start of `text` and the ">" that closes it:
// none when another "<" or the end comes first.
std::optional<std::u16string_view> BodyAt(std::u16string_view text) {
    if (text.empty() || text.front() != u'<') return std::nullopt;
    const std::size_t end = text.find_first_of(u"<>", 1);
    if (end == std::u16string_view::npos || text[end] != u'>') return std::nullopt;
    return text.substr(1, end - 1);
}

std::u16string_view Trimmed(std::u16string_view text) {
    const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\u3000'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// A body that a player most likely meant as a token: a token's word in
// another case or with spaces, or one that takes more ("wait", "rand",
// "ask") followed by anything but a letter (so "<waiting>" is the game's).
bool LooksMeant(std::u16string_view body) {
    const std::u16string word = FoldCase(Trimmed(body));
    for (const std::u16string_view tokensWord : kTokensWords) {
        if (word == tokensWord) return true;
        const bool takesMore =
            tokensWord == u"wait" || tokensWord == u"rand" || tokensWord == u"ask";
        if (takesMore && StartsWith(word, tokensWord) && !IsAsciiLetter(word[tokensWord.size()])) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<Token> TokenAt(std::u16string_view text) {
    const std::optional<std::u16string_view> body = BodyAt(text);
    if (!body) return std::nullopt;
    const std::size_t size = body->size() + 2;
    const auto plain = [size](TokenKind kind) { return Token{kind, size, {}, 0}; };
    if (*body == u"time") return plain(TokenKind::Time);
    if (*body == u"date") return plain(TokenKind::Date);
    if (*body == u"count") return plain(TokenKind::Count);
    if (*body == u"clip") return plain(TokenKind::Clip);
    if (*body == u"lt") return plain(TokenKind::Less);
    for (const auto& [start, kind] : {std::pair{std::u16string_view(u"rand:"), TokenKind::Rand},
                                      std::pair{std::u16string_view(u"ask:"), TokenKind::Ask}}) {
        if (StartsWith(*body, start) && body->size() > start.size()) {
            return Token{kind, size, body->substr(start.size()), 0};
        }
    }
    if (const std::optional<int> tenths = WaitTenths(*body)) {
        if (*tenths < kLeastWaitTenths || *tenths > kMostWaitTenths) return std::nullopt;
        return Token{TokenKind::Wait, size, {}, *tenths};
    }
    if (!NameFaultOf(*body)) return Token{TokenKind::Name, size, *body, 0};
    return std::nullopt;
}

std::vector<std::u16string_view> ChoicesOf(std::u16string_view argument) {
    std::vector<std::u16string_view> choices;
    for (std::size_t bar; (bar = argument.find(u'|')) != std::u16string_view::npos;) {
        choices.push_back(argument.substr(0, bar));
        argument.remove_prefix(bar + 1);
    }
    choices.push_back(argument);
    return choices;
}

std::optional<NameFault> NameFaultOf(std::u16string_view name) {
    if (name.empty()) return NameFault::Empty;
    if (!std::all_of(name.begin(), name.end(), IsNameCharacter)) {
        return NameFault::NotANameCharacter;
    }
    // Nor one that reads as a token mistyped ("wait3"): the checker warns of it.
    if (LooksMeant(name)) return NameFault::TokensWord;
    return std::nullopt;
}

std::vector<TokenSlip> TokenSlipsIn(std::u16string_view line) {
    std::vector<TokenSlip> slips;
    // The whole-line test is made after a leading wait is taken off.
    std::u16string_view afterWait = line;
    if (const std::optional<Token> first = TokenAt(line); first && first->kind == TokenKind::Wait) {
        afterWait.remove_prefix(first->size);
    }
    for (std::size_t at = line.find(u'<'); at != std::u16string_view::npos;
         at = line.find(u'<', at + 1)) {
        const std::u16string_view rest = line.substr(at);
        const std::optional<std::u16string_view> body = BodyAt(rest);
        if (!body) continue;
        const std::u16string_view text = rest.substr(0, body->size() + 2);
        using enum TokenSlip::Kind;
        if (const std::optional<Token> token = TokenAt(rest)) {
            if (token->kind == TokenKind::Wait && at != 0)
                slips.push_back({WaitNotAtStart, at, text});
        } else if (*body == u"now") {
            if (afterWait != u"<now>") slips.push_back({NowBesideText, at, text});
        } else if (WaitTenths(*body)) {
            slips.push_back({WaitOutOfRange, at, text});
        } else if (LooksMeant(*body)) {
            slips.push_back({NotWellFormed, at, text});
        }
        at += text.size() - 1;
    }
    return slips;
}

}  // namespace kiv

#pragma once

// The tokens a chat line may hold, filled in as the macro is said: <time>,
// <date>, <count>, <rand:a|b|c>, <clip>, <ask:問い>, <wait.N> at the line's
// start, <lt> for "<", and a name the player defined. Written in exact lower
// case, as "<now>" is; anything else between "<" and ">" is the game's own
// and stays as typed, and so does a token not well formed. Portable.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

enum class TokenKind { Time, Date, Count, Rand, Clip, Ask, Wait, Less, Name };

struct Token {
    TokenKind kind = TokenKind::Less;
    std::size_t size = 0;          // of its whole text, "<" to ">"
    std::u16string_view argument;  // the choices, the question or the name
    int tenths = 0;                // a wait's seconds, in tenths
};

// The shortest and the longest wait, in tenths of a second.
inline constexpr int kLeastWaitTenths = 1;
inline constexpr int kMostWaitTenths = 600;

// The well-formed token that `text` begins with: none when it does not begin
// with "<", or its "<" is text. A name is any that may be defined; whether it
// is, is the filler's question.
std::optional<Token> TokenAt(std::u16string_view text);

// A <rand:...>'s choices, each as likely; empty ones count.
std::vector<std::u16string_view> ChoicesOf(std::u16string_view argument);

// Why a name cannot be the player's own: none when it can be. Names are
// letters, digits, kana and kanji, compared ignoring letter case as the
// settings file compares its keys; a token's word is never one.
enum class NameFault { Empty, NotANameCharacter, TokensWord };
std::optional<NameFault> NameFaultOf(std::u16string_view name);

// What in a chat line as typed looks meant as a token but is not one.
struct TokenSlip {
    enum class Kind {
        NotWellFormed,  // <wait3>, <rand:>, <date >, <Date>
        WaitOutOfRange,
        WaitNotAtStart,
        NowBesideText,  // "<now>" is the time only as the whole line
    };
    Kind kind;
    std::size_t offset;  // where its "<" is in the line, from 0
    std::u16string_view text;
};
std::vector<TokenSlip> TokenSlipsIn(std::u16string_view line);

}  // namespace kiv

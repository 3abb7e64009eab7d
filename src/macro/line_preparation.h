#pragma once

// Turning a macro's message into the chat lines that are sent, one by one:
// the one way from a macro to what the game receives, for a saying and for
// every preview alike.
//
// The message is split at the two characters backslash and n (not a control
// character) into at most three lines; the third keeps the rest as typed,
// further separators included. Each line is then filled in on its own: a
// leading <wait.N> is taken off, a line that is then exactly "<now>" becomes
// the time of day, and the tokens of macro_tokens.h are put in, in one pass,
// so that nothing put in is read again for tokens. Empty lines are dropped.
// Splitting works on UTF-16: in CP932 bytes the backslash is also the second
// byte of characters such as 表 or ソ.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_tokens.h"
#include "macro/time_of_day.h"

namespace kiv {

inline constexpr std::u16string_view kLineSeparator = u"\\n";
inline constexpr std::u16string_view kTimeToken = u"<now>";
inline constexpr std::size_t kMaxLinesPerMessage = 3;

// What a macro's lines are filled in from, for one saying or one preview. A
// source left empty leaves its tokens as typed.
struct FillContext {
    Clock clock = {};                 // read afresh for each time put in
    std::function<int()> today = {};  // the local date: days since 1970-01-01
    // The clipboard's text, read when first wanted and kept for the saying.
    std::function<std::u16string()> clipboard = {};
    // The number this saying of the macro is (the count after it), read when
    // first wanted and kept for the saying.
    std::function<std::uint64_t()> count = {};
    // A name's value, when the player defined it.
    std::function<std::optional<std::u16string>(std::u16string_view name)> variable = {};
    // Which of `choices` choices <rand:...> puts in, from 0.
    std::function<std::size_t(std::size_t choices)> choose = {};
    // What the player answered to each <ask:...>, by its question.
    std::map<std::u16string, std::u16string, std::less<>> answers = {};
    // For a preview: a <rand:...> shows its first choice marked, an
    // <ask:...> its question in brackets.
    bool preview = false;

    std::optional<std::u16string> clipboardRead = {};
    std::optional<std::uint64_t> countRead = {};
};

// The message's lines as typed, at most three, empty ones included.
std::vector<std::u16string_view> SplitMessage(std::u16string_view message);

// A line of the message as the delivery takes it.
struct ChatLine {
    std::size_t number = 0;             // its place in the message, from 1
    std::u16string_view text;           // as typed, a leading <wait.N> taken off
    std::chrono::milliseconds wait{0};  // that <wait.N>'s; 0: none
};
std::vector<ChatLine> ChatLinesOf(std::u16string_view message);

// What is sent for one line (a ChatLine's text). Empty means nothing is sent.
// Called just before the line goes out, so that the time is the time of
// sending.
std::u16string FillLine(std::u16string_view line, FillContext& context);

// The questions of the message's <ask:...>, each once, in the order they come.
std::vector<std::u16string> QuestionsOf(std::u16string_view message);
// Whether the message has a token of `kind` that filling puts in (only a
// macro with a <count> has its sayings counted).
bool HoldsToken(std::u16string_view message, TokenKind kind);

// Reads now what a saying keeps of the message's tokens (its count, the
// clipboard), as filling would read it: before anything is sent, a line
// after a wait would otherwise count the saying its first line counted, or
// put in what was copied during the wait.
void ReadAhead(std::u16string_view message, FillContext& context);

// All lines that a delivery would send, in order.
std::vector<std::u16string> PrepareLines(std::u16string_view message, FillContext& context);

// What the game receives of `message`: the lines a delivery sends, each as it
// survives the ANSI code page ("?" for what CP932 lacks).
std::vector<std::u16string> LinesReceived(std::u16string_view message, FillContext& context);

// Lines shown as one text, a line each.
std::u16string OneLineEach(const std::vector<std::u16string>& lines);

}  // namespace kiv

#pragma once

// Turning a macro's message into the chat lines that are sent, one by one:
// the one way from a macro to what the game receives, for a saying and for
// every preview alike.
//
// The message is split at the two characters backslash and n (not a control
// character) into at most three lines; the third keeps the rest as typed,
// further separators included. A line that is exactly "<now>" becomes the time
// of day, read afresh for each such line. Empty lines are dropped.
// Splitting works on UTF-16: in CP932 bytes the backslash is also the second
// byte of characters such as 表 or ソ.

#include <string>
#include <string_view>
#include <vector>

#include "macro/time_of_day.h"

namespace kiv {

inline constexpr std::u16string_view kLineSeparator = u"\\n";
inline constexpr std::u16string_view kTimeToken = u"<now>";
inline constexpr std::size_t kMaxLinesPerMessage = 3;

// What a macro's lines are filled in from, for one saying or one preview.
struct FillContext {
    Clock clock;  // read afresh for each line that is the time
};

// The message's lines as typed, at most three, empty ones included.
std::vector<std::u16string_view> SplitMessage(std::u16string_view message);

// What is sent for one line: the time for "<now>", otherwise the line itself.
// Empty means nothing is sent. Called just before the line goes out, so that
// the time is the time of sending.
std::u16string FillLine(std::u16string_view line, FillContext& context);

// All lines that a delivery would send, in order.
std::vector<std::u16string> PrepareLines(std::u16string_view message, FillContext& context);

// What the game receives of `message`: the lines a delivery sends, each as it
// survives the ANSI code page ("?" for what CP932 lacks).
std::vector<std::u16string> LinesReceived(std::u16string_view message, FillContext& context);

// Lines shown as one text, a line each.
std::u16string OneLineEach(const std::vector<std::u16string>& lines);

}  // namespace kiv

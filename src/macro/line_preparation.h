#pragma once

// Turning a macro's message into the chat lines that are sent, one by one.
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

// The message's lines as typed, at most three, empty ones included.
std::vector<std::u16string_view> SplitMessage(std::u16string_view message);

// What is sent for one line: the time for "<now>", otherwise the line itself.
// Empty means nothing is sent. Called just before the line goes out, so that
// the time is the time of sending.
std::u16string PrepareLine(std::u16string_view line, const Clock& clock);

// All lines that a delivery would send, in order (the clock read once per token).
std::vector<std::u16string> PrepareLines(std::u16string_view message, const Clock& clock);

// What the game receives of `message`: the lines a delivery sends, each as it
// survives the ANSI code page ("?" for what CP932 lacks). Without a clock
// "<now>" stands as it is, for a preview that stays on screen.
std::vector<std::u16string> LinesReceived(std::u16string_view message, const Clock* clock);

// Lines shown as one text, a line each.
std::u16string OneLineEach(const std::vector<std::u16string>& lines);

}  // namespace kiv

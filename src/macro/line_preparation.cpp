#include "macro/line_preparation.h"

#include "platform/ansi_text.h"

namespace kiv {

std::u16string FormatTimeOfDay(TimeOfDay time) {
    auto two = [](int value) {
        return std::u16string{static_cast<char16_t>(u'0' + value / 10 % 10),
                              static_cast<char16_t>(u'0' + value % 10)};
    };
    return two(time.hour) + u':' + two(time.minute) + u':' + two(time.second);
}

std::vector<std::u16string_view> SplitMessage(std::u16string_view message) {
    std::vector<std::u16string_view> lines;
    if (message.empty()) return lines;
    lines.reserve(kMaxLinesPerMessage);
    while (lines.size() + 1 < kMaxLinesPerMessage) {
        const std::size_t at = message.find(kLineSeparator);
        if (at == std::u16string_view::npos) break;
        lines.push_back(message.substr(0, at));
        message.remove_prefix(at + kLineSeparator.size());
    }
    lines.push_back(message);
    return lines;
}

std::u16string FillLine(std::u16string_view line, FillContext& context) {
    if (line == kTimeToken) return FormatTimeOfDay(context.clock());
    return std::u16string(line);
}

std::vector<std::u16string> PrepareLines(std::u16string_view message, FillContext& context) {
    std::vector<std::u16string> lines;
    for (const std::u16string_view line : SplitMessage(message)) {
        if (std::u16string text = FillLine(line, context); !text.empty()) {
            lines.push_back(std::move(text));
        }
    }
    return lines;
}

std::vector<std::u16string> LinesReceived(std::u16string_view message, FillContext& context) {
    std::vector<std::u16string> lines = PrepareLines(message, context);
    for (std::u16string& line : lines) line = FromAnsi(ToAnsi(line));
    return lines;
}

std::u16string OneLineEach(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const std::u16string& line : lines) {
        if (!text.empty()) text += u"\r\n";
        text += line;
    }
    return text;
}

}  // namespace kiv

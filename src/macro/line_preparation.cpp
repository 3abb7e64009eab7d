#include "macro/line_preparation.h"

#include <algorithm>

#include "macro/macro_texts.h"
#include "macro/macro_tokens.h"
#include "platform/ansi_text.h"
#include "platform/local_clock.h"

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

std::vector<ChatLine> ChatLinesOf(std::u16string_view message) {
    std::vector<ChatLine> lines;
    for (const std::u16string_view line : SplitMessage(message)) {
        ChatLine chat{lines.size() + 1, line, {}};
        if (const std::optional<Token> wait = TokenAt(line);
            wait && wait->kind == TokenKind::Wait) {
            chat.text.remove_prefix(wait->size);
            chat.wait = std::chrono::milliseconds{wait->tenths * 100};
        }
        lines.push_back(chat);
    }
    return lines;
}

namespace {

// Calls `each` for every token of a line as filling finds them, and `text`
// for the text between; a "<" that begins no token is text.
template <class Each, class Text>
void Scan(std::u16string_view line, const Each& each, const Text& text) {
    std::size_t from = 0;
    for (std::size_t at = line.find(u'<'); at != std::u16string_view::npos;
         at = line.find(u'<', at + 1)) {
        const std::optional<Token> token = TokenAt(line.substr(at));
        // A wait past the line's start is the game's text.
        if (!token || token->kind == TokenKind::Wait) continue;
        text(line.substr(from, at - from));
        each(*token, line.substr(at, token->size));
        from = at + token->size;
        at = from - 1;
    }
    text(line.substr(from));
}

// The clipboard's text up to its first line end: a chat line is one line.
std::u16string FirstLineOf(std::u16string text) {
    text.erase(std::min(text.find_first_of(u"\r\n"), text.size()));
    return text;
}

// What one token puts in; none: it stays as typed.
std::optional<std::u16string> ValueOf(const Token& token, FillContext& context) {
    switch (token.kind) {
        case TokenKind::Time:
            if (context.clock) return FormatTimeOfDay(context.clock());
            break;
        case TokenKind::Date:
            if (context.today) return DateText(context.today());
            break;
        case TokenKind::Count: {
            if (!context.count) break;
            if (!context.countRead) context.countRead = context.count();
            const std::string digits = std::to_string(*context.countRead);
            return std::u16string(digits.begin(), digits.end());
        }
        case TokenKind::Clip:
            if (!context.clipboard) break;
            if (!context.clipboardRead) context.clipboardRead = FirstLineOf(context.clipboard());
            return *context.clipboardRead;
        case TokenKind::Rand: {
            const std::vector<std::u16string_view> choices = ChoicesOf(token.argument);
            if (context.preview)
                return std::u16string(choices.front()) + std::u16string(texts::kRandomMark);
            if (!context.choose) break;
            return std::u16string(
                choices[std::min(context.choose(choices.size()), choices.size() - 1)]);
        }
        case TokenKind::Ask: {
            if (context.preview) return u"[" + std::u16string(token.argument) + u"]";
            const auto answer = context.answers.find(token.argument);
            if (answer != context.answers.end()) return answer->second;
            break;
        }
        case TokenKind::Less:
            return u"<";
        case TokenKind::Name:
            if (context.variable) return context.variable(token.argument);
            break;
        case TokenKind::Wait:
            break;
    }
    return std::nullopt;
}

}  // namespace

std::u16string FillLine(std::u16string_view line, FillContext& context) {
    if (line == kTimeToken) {
        return context.clock ? FormatTimeOfDay(context.clock()) : std::u16string(line);
    }
    std::u16string filled;
    Scan(
        line,
        [&](const Token& token, std::u16string_view typed) {
            const std::optional<std::u16string> value = ValueOf(token, context);
            filled += value ? std::u16string_view(*value) : typed;
        },
        [&](std::u16string_view text) { filled += text; });
    return filled;
}

std::vector<std::u16string> QuestionsOf(std::u16string_view message) {
    std::vector<std::u16string> questions;
    for (const ChatLine& line : ChatLinesOf(message)) {
        if (line.text == kTimeToken) continue;
        Scan(
            line.text,
            [&](const Token& token, std::u16string_view) {
                if (token.kind == TokenKind::Ask && std::find(questions.begin(), questions.end(),
                                                              token.argument) == questions.end()) {
                    questions.emplace_back(token.argument);
                }
            },
            [](std::u16string_view) {});
    }
    return questions;
}

bool HoldsToken(std::u16string_view message, TokenKind kind) {
    bool holds = false;
    for (const ChatLine& line : ChatLinesOf(message)) {
        if (line.text == kTimeToken) continue;
        Scan(
            line.text,
            [&](const Token& token, std::u16string_view) { holds = holds || token.kind == kind; },
            [](std::u16string_view) {});
    }
    return holds;
}

void ReadAhead(std::u16string_view message, FillContext& context) {
    if (context.count && !context.countRead && HoldsToken(message, TokenKind::Count)) {
        context.countRead = context.count();
    }
    if (context.clipboard && !context.clipboardRead && HoldsToken(message, TokenKind::Clip)) {
        context.clipboardRead = FirstLineOf(context.clipboard());
    }
}

std::vector<std::u16string> PrepareLines(std::u16string_view message, FillContext& context) {
    std::vector<std::u16string> lines;
    for (const ChatLine& line : ChatLinesOf(message)) {
        std::u16string text = FillLine(line.text, context);
        if (text.empty()) continue;
        // A preview tells the pause before the line, which the game never sees.
        if (context.preview && line.wait.count() > 0) {
            const int tenths = static_cast<int>(line.wait.count() / 100);
            const std::string seconds = std::to_string(tenths / 10) +
                                        (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "");
            text.insert(0,
                        Fill(texts::kWaitMark, {std::u16string(seconds.begin(), seconds.end())}));
        }
        lines.push_back(std::move(text));
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

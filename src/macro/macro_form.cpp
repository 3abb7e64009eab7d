#include "macro/macro_form.h"

#include <algorithm>

#include "macro/line_preparation.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// A surrogate without its partner: UTF-8 cannot hold it, and at the end of a
// UTF-16 file the reader drops it.
std::optional<char16_t> LoneSurrogate(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return text[i];
        }
    }
    return std::nullopt;
}

struct FieldRules {
    bool tabAllowed = false;       // a title after the first TAB reads back whole
    bool separatorAllowed = true;  // "\n" in a chat line's own field would split it
};

// Why the text of one field cannot be written; empty when it can.
std::u16string FieldProblem(std::u16string_view field, std::u16string_view text,
                            TextEncoding encoding, FieldRules rules) {
    const std::u16string name(field);
    if (text.find_first_of(rules.tabAllowed ? u"\r\n" : u"\t\r\n") != std::u16string_view::npos) {
        return name + u"にタブか改行が入っています。貼り付けた文字を確かめて取り除いてください。";
    }
    if (!rules.separatorAllowed && text.find(kLineSeparator) != std::u16string_view::npos) {
        return name + u"に「\\n」が入っています。チャット行は 1 行ずつ別の欄に入力してください。";
    }
    if (const auto lone = LoneSurrogate(text)) {
        return name + u"に壊れた文字 (" + CodePointText(*lone) +
               u") が入っています。貼り付けた文字を確かめてください。";
    }
    if (encoding == TextEncoding::Ansi) {
        if (const auto lacking = CharactersFileCodePageLacks(text); !lacking.empty()) {
            return name + u"に、" + FileCodePageName() +
                   u" のマクロファイルには保存できない文字があります: " + NameCharacters(lacking) +
                   u"。マクロファイルを UTF-8 で保存し直すと使えます。";
        }
    }
    return {};
}

}  // namespace

MacroForm FormOf(const Macro& macro) {
    MacroForm form;
    if (macro.Title() != macro.Message()) form.title = macro.Title();
    std::u16string_view message = macro.Message();
    for (std::size_t i = 0; i < form.lines.size(); ++i) {
        const std::size_t at = message.find(kLineSeparator);
        if (at == std::u16string_view::npos) {
            form.lines[i] = message;
            break;
        }
        form.lines[i] = message.substr(0, at);
        if (i + 1 == form.lines.size()) {
            // Delivery sends this as part of the third line; the form keeps it apart.
            form.rest = message.substr(at);
            break;
        }
        message.remove_prefix(at + kLineSeparator.size());
    }
    return form;
}

std::u16string MessageOf(const MacroForm& form) {
    // Empty lines at the end would only be skipped; with a rest they hold its place.
    std::size_t used = form.lines.size();
    if (form.rest.empty()) {
        while (used > 0 && form.lines[used - 1].empty()) --used;
    }
    std::u16string message;
    for (std::size_t i = 0; i < used; ++i) {
        if (i != 0) message += kLineSeparator;
        message += form.lines[i];
    }
    return message + form.rest;
}

ComposedMacro ComposeMacro(const MacroForm& form, TextEncoding fileEncoding) {
    const auto typed = [](const std::u16string& line) { return !line.empty(); };
    if (form.rest.empty() && std::none_of(form.lines.begin(), form.lines.end(), typed)) {
        return {std::nullopt, u"チャット行がありません。1 行目に送る文を入力してください。"};
    }
    static constexpr std::u16string_view kLineNames[] = {u"1 行目", u"2 行目", u"3 行目"};
    std::u16string refusal = FieldProblem(u"タイトル", form.title, fileEncoding, {});
    for (std::size_t i = 0; refusal.empty() && i < form.lines.size(); ++i) {
        refusal =
            FieldProblem(kLineNames[i], form.lines[i], fileEncoding, {.separatorAllowed = false});
    }
    if (refusal.empty()) refusal = FieldProblem(u"4 行目以降", form.rest, fileEncoding, {});
    if (!refusal.empty()) return {std::nullopt, std::move(refusal)};

    std::u16string message = MessageOf(form);
    std::u16string title = form.title.empty() ? message : form.title;
    Macro macro(std::move(message), std::move(title));
    if (std::u16string why = WhyMacroCannotBeWritten(macro, fileEncoding); !why.empty()) {
        return {std::nullopt, std::move(why)};
    }
    return {std::move(macro), {}};
}

std::vector<std::u16string> ChatLinesAsSent(std::u16string_view message, const Clock& clock) {
    return LinesReceived(message, &clock);
}

std::u16string MacroLineText(const Macro& macro) {
    if (macro.Title() == macro.Message()) return macro.Message();
    return macro.Message() + u'\t' + macro.Title();
}

std::u16string WhyMacroCannotBeWritten(const Macro& macro, TextEncoding fileEncoding) {
    std::u16string why = FieldProblem(u"メッセージ", macro.Message(), fileEncoding, {});
    if (why.empty() && macro.Title() != macro.Message()) {
        why = FieldProblem(u"タイトル", macro.Title(), fileEncoding, {.tabAllowed = true});
    }
    if (why.empty() && IsBlankLine(MacroLineText(macro))) {
        why = u"空白だけの行はマクロファイルから読み込まれません。タイトルを入力してください。";
    }
    return why;
}

}  // namespace kiv

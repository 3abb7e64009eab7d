#include "macro/macro_form.h"

#include <algorithm>

#include "macro/line_preparation.h"
#include "macro/macro_texts.h"

namespace kiv {
namespace {

// Only a chat line's own field refuses "\n": there it would split the line.
std::u16string FieldProblem(std::u16string_view field, std::u16string_view text,
                            TextEncoding encoding, bool separatorAllowed = true) {
    std::u16string why = WhyTextCannotBeWritten(field, text, encoding, {});
    if (why.empty() && !separatorAllowed &&
        text.find(kLineSeparator) != std::u16string_view::npos) {
        why = Fill(texts::kSeparatorInLine, {field});
    }
    return why;
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
        return {std::nullopt, std::u16string(texts::kNoMessage), MacroFormField::Line1};
    }
    static constexpr std::u16string_view kLineNames[] = {texts::kLineFields1, texts::kLineFields2,
                                                         texts::kLineFields3};
    if (std::u16string why = FieldProblem(texts::kTitleField, form.title, fileEncoding);
        !why.empty()) {
        return {std::nullopt, std::move(why), MacroFormField::Title};
    }
    for (std::size_t i = 0; i < form.lines.size(); ++i) {
        if (std::u16string why = FieldProblem(kLineNames[i], form.lines[i], fileEncoding, false);
            !why.empty()) {
            return {std::nullopt, std::move(why), static_cast<MacroFormField>(i + 1)};
        }
    }
    if (std::u16string why = FieldProblem(texts::kRestField, form.rest, fileEncoding);
        !why.empty()) {
        return {std::nullopt, std::move(why), MacroFormField::Rest};
    }

    std::u16string message = MessageOf(form);
    std::u16string title = form.title.empty() ? message : form.title;
    Macro macro(std::move(message), std::move(title));
    if (std::u16string why = WhyMacroCannotBeWritten(macro, fileEncoding); !why.empty()) {
        // A title of spaces alone, typed or taken from the first line: the
        // refusal asks for a title.
        return {std::nullopt, std::move(why), MacroFormField::Title};
    }
    return {std::move(macro), {}};
}

}  // namespace kiv

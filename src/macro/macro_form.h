#pragma once

// What the macro dialog edits: a title and the chat lines of one macro, and
// the macro they give, checked so that the line written for it reads back as
// exactly that macro. Portable.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro.h"
#include "macro/macro_file_format.h"

namespace kiv {

struct MacroForm {
    std::u16string title;                 // empty: the line is written without a TAB
    std::array<std::u16string, 3> lines;  // the chat lines as typed
    // The message past its third piece, kept untouched (begins with the two
    // characters "\n"); empty for most messages.
    std::u16string rest;
    friend bool operator==(const MacroForm&, const MacroForm&) = default;
};

// The message the form holds: its chat lines joined by the separator, then
// its rest.
std::u16string MessageOf(const MacroForm& form);

// The form showing `macro`. A macro that is its own title (a line without a
// TAB) gets an empty title, so that the form given back unchanged writes the
// same line again.
MacroForm FormOf(const Macro& macro);

// The macro the form gives, or why it cannot be written (Japanese, naming the
// field, e.g. 「2 行目」).
// The form's fields, in its order.
enum class MacroFormField { Title, Line1, Line2, Line3, Rest };
struct ComposedMacro {
    std::optional<Macro> macro;
    std::u16string refusal;
    MacroFormField field = MacroFormField::Title;  // the one the refusal names
};
ComposedMacro ComposeMacro(const MacroForm& form, TextEncoding fileEncoding);

}  // namespace kiv

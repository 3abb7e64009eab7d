#pragma once

// The tool's own words. Each layer keeps them in one table (a list macro
// giving both the named constants the code uses and the table a test reads
// for the house rules of wording), so that a term changed in the glossary is
// changed everywhere at once. Portable.

#include <initializer_list>
#include <string>
#include <string_view>

namespace kiv {

struct ToolText {
    std::string_view name;
    std::u16string_view text;
};

// `text` with %1, %2 ... %9 replaced by `values` in order; a mark with no
// value, or any other % sequence, stays as it is.
std::u16string Fill(std::u16string_view text, std::initializer_list<std::u16string_view> values);

}  // namespace kiv

#define KIV_TEXT_CONSTANT(name, text) inline constexpr std::u16string_view name = text;
#define KIV_TEXT_ENTRY(name, text) ::kiv::ToolText{#name, text},
// In namespace kiv: the list's constants in kiv::texts, and the table `table`.
#define KIV_TOOL_TEXTS(list, table) \
    namespace texts {               \
    list(KIV_TEXT_CONSTANT)         \
    }                               \
    inline constexpr ToolText table[] = {list(KIV_TEXT_ENTRY)};

#pragma once

// The rules of 変数の設定: which names and values may be set, and how a set
// changes the list. Portable.

#include <optional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"
#include "settings/macro_variables.h"

namespace kiv {

// Why `name` = `value` cannot be set, in words for the dialog; none when it
// can. `settings`: the settings file's encoding, which must keep both.
std::optional<std::u16string> VariableRefusal(std::u16string_view name, std::u16string_view value,
                                              TextEncoding settings);

// Sets `name` to `value` as the settings file will keep it (no spaces at
// either end): the variable of that name, letter case aside, keeps its place
// and takes the name as typed now; a new one comes last. Its index.
std::size_t SetVariable(MacroVariables& variables, std::u16string_view name,
                        std::u16string_view value);

}  // namespace kiv

#pragma once

// The names the player defined for their macros (<HP> puts in its value),
// kept in the settings file's section "Variables" as name=value. Portable.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class IniFile;

struct MacroVariable {
    std::u16string name;
    std::u16string value;
    friend bool operator==(const MacroVariable&, const MacroVariable&) = default;
};
using MacroVariables = std::vector<MacroVariable>;

// The value of `name`, compared ignoring letter case as the settings file
// compares its keys; none when it is not defined.
std::optional<std::u16string> ValueOf(const MacroVariables& variables, std::u16string_view name);

// A value as the settings file gives it back: without the spaces and tabs at
// either end.
std::u16string KeptValue(std::u16string_view value);

MacroVariables ReadMacroVariables(IniFile& store);
// Sets the section's keys in place of those it had; none add no section.
void WriteMacroVariables(IniFile& store, const MacroVariables& variables);

}  // namespace kiv

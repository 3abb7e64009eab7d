#include "settings/macro_variables.h"

#include <algorithm>

#include "platform/case_fold.h"
#include "settings/ini_file.h"

namespace kiv {
namespace {

constexpr std::u16string_view kSection = u"Variables";

bool HasSection(const IniFile& store) {
    const auto& sections = store.Sections();
    return std::any_of(sections.begin(), sections.end(), [](const std::u16string& name) {
        return EqualIgnoringCase(name, kSection);
    });
}

}  // namespace

std::optional<std::u16string> ValueOf(const MacroVariables& variables, std::u16string_view name) {
    for (const MacroVariable& variable : variables) {
        if (EqualIgnoringCase(variable.name, name)) return variable.value;
    }
    return std::nullopt;
}

std::u16string KeptValue(std::u16string_view value) {
    const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!value.empty() && isSpace(value.front())) value.remove_prefix(1);
    while (!value.empty() && isSpace(value.back())) value.remove_suffix(1);
    return std::u16string(value);
}

MacroVariables ReadMacroVariables(IniFile& store) {
    MacroVariables variables;
    // Selecting a section adds it: a file without one is left without.
    if (!HasSection(store)) return variables;
    store.SetNowSection(kSection);
    for (const std::u16string& name : store.Keys()) {
        if (!ValueOf(variables, name)) variables.push_back({name, store.Data(name)});
    }
    return variables;
}

void WriteMacroVariables(IniFile& store, const MacroVariables& variables) {
    if (variables.empty() && !HasSection(store)) return;
    store.SetNowSection(kSection);
    store.Clear();
    for (const MacroVariable& variable : variables) store.SetData(variable.name, variable.value);
}

}  // namespace kiv

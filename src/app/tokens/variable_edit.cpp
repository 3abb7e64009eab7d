#include "app/tokens/variable_edit.h"

#include "app/common/app_texts.h"
#include "macro/macro_tokens.h"
#include "platform/ansi_text.h"
#include "platform/case_fold.h"

namespace kiv {

std::optional<std::u16string> VariableRefusal(std::u16string_view name, std::u16string_view value,
                                              TextEncoding settings) {
    if (const std::optional<NameFault> fault = NameFaultOf(name)) {
        switch (*fault) {
            case NameFault::Empty:
                return std::u16string(texts::kVariableNameEmpty);
            case NameFault::NotANameCharacter:
                return std::u16string(texts::kVariableNameCharacters);
            case NameFault::TokensWord:
                return Fill(texts::kVariableNameTokens, {name});
        }
    }
    const std::u16string both = std::u16string(name) + KeptValue(value);
    if (const std::vector<char32_t> lacking = CharactersEncodingLacks(both, settings);
        !lacking.empty()) {
        return Fill(texts::kVariableNotInSettings, {NameCharacters(lacking)});
    }
    return std::nullopt;
}

std::size_t SetVariable(MacroVariables& variables, std::u16string_view name,
                        std::u16string_view value) {
    for (std::size_t i = 0; i < variables.size(); ++i) {
        if (EqualIgnoringCase(variables[i].name, name)) {
            variables[i] = {std::u16string(name), KeptValue(value)};
            return i;
        }
    }
    variables.push_back({std::u16string(name), KeptValue(value)});
    return variables.size() - 1;
}

}  // namespace kiv

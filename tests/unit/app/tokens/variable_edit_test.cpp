// What 変数の設定 lets a player set, and where a set name goes.

#include "app/tokens/variable_edit.h"

#include <gtest/gtest.h>

#include "app/common/app_texts.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

TEST(VariableEdit, RefusesWhatCannotBeANameOrBeKeptAndSetsByNameLetterCaseAside) {
    const std::tuple<std::u16string, std::u16string, TextEncoding, std::optional<std::u16string>>
        cases[] = {
            {u"HP", u" 120 ", TextEncoding::Ansi, std::nullopt},
            {u"", u"x", TextEncoding::Ansi, std::u16string(texts::kVariableNameEmpty)},
            {u"my hp", u"x", TextEncoding::Ansi, std::u16string(texts::kVariableNameCharacters)},
            {u"Count", u"x", TextEncoding::Ansi, Fill(texts::kVariableNameTokens, {u"Count"})},
            {u"相手", u"♥", TextEncoding::Ansi,
             Fill(texts::kVariableNotInSettings, {u"♥ (U+2665)"})},
            {u"相手", u"♥", TextEncoding::Utf8, std::nullopt},
        };
    for (const auto& [name, value, encoding, refusal] : cases) {
        EXPECT_EQ(VariableRefusal(name, value, encoding), refusal) << ToUtf8(name);
    }

    MacroVariables variables = {{u"mp", u"5"}, {u"HP", u"1"}};
    EXPECT_EQ(SetVariable(variables, u"hp", u" 120\t"), 1u);
    EXPECT_EQ(SetVariable(variables, u"相手", u"\tゆうしゃ "), 2u);
    EXPECT_EQ(variables, (MacroVariables{{u"mp", u"5"}, {u"hp", u"120"}, {u"相手", u"ゆうしゃ"}}));
}

}  // namespace
}  // namespace kiv

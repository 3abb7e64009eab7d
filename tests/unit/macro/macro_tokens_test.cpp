// Which names a player may define, and what the checker points out in a line.

#include "macro/macro_tokens.h"

#include <gtest/gtest.h>

#include <tuple>

#include "macro/macro_file_check.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

TEST(TokenNames, AreLettersDigitsKanaAndKanjiButNeverATokensWord) {
    using enum NameFault;
    const std::pair<std::u16string, std::optional<NameFault>> cases[] = {
        {u"HP", std::nullopt},         {u"相手の名前", std::nullopt}, {u"ｈｐ２", std::nullopt},
        {u"ﾊﾟｰﾃｨ", std::nullopt},      {u"date2", std::nullopt},      {u"", Empty},
        {u"my hp", NotANameCharacter}, {u"a_b", NotANameCharacter},   {u"a:b", NotANameCharacter},
        {u"Date", TokensWord},         {u"LT", TokensWord},           {u"wait3", TokensWord},
        {u"rand2", TokensWord},
    };
    for (const auto& [name, fault] : cases) EXPECT_EQ(NameFaultOf(name), fault) << ToUtf8(name);
}

TEST(TokenSlips, AreWhatLooksMeantButStaysAsTyped) {
    using enum TokenSlip::Kind;
    const std::pair<std::u16string, std::vector<std::pair<TokenSlip::Kind, std::size_t>>> cases[] =
        {
            {u"<wait.1><date> <rand:a|b> <ask:q> <HP> <waiting> <random> <>", {}},
            {u"<wait.1><now>", {}},
            {u"<Time><date ><rand:><ask><wait3>",
             {{NotWellFormed, 0},
              {NotWellFormed, 6},
              {NotWellFormed, 13},
              {NotWellFormed, 20},
              {NotWellFormed, 25}}},
            {u"<wait.0>a<wait.60.1>", {{WaitOutOfRange, 0}, {WaitOutOfRange, 9}}},
            {u"<wait.1.>a", {{NotWellFormed, 0}}},
            {u"x<wait.2> <now>", {{WaitNotAtStart, 1}, {NowBesideText, 10}}},
        };
    for (const auto& [line, expected] : cases) {
        std::vector<std::pair<TokenSlip::Kind, std::size_t>> found;
        for (const TokenSlip& slip : TokenSlipsIn(line)) found.emplace_back(slip.kind, slip.offset);
        EXPECT_EQ(found, expected) << ToUtf8(line);
    }
}

// The checker names the line and the character of a slip's "<", a pair of
// surrogates counting as one character, from the start of the message.
TEST(TokenSlips, TheCheckerPointsAtTheLineAndCharacterOfEach) {
    using enum MacroFileFinding::Kind;
    const std::string file =
        "\xEF\xBB\xBFok\r\n" + ToUtf8(u"😀<Date>\\nb<wait.2>\\n<wait.0>x\tt") + "\r\n";
    std::vector<std::tuple<MacroFileFinding::Kind, std::size_t, std::size_t>> found;
    for (const MacroFileFinding& finding : CheckMacroFile(file)) {
        if (finding.kind != NotCp932)
            found.emplace_back(finding.kind, finding.line, finding.column);
    }
    EXPECT_EQ(found,
              (decltype(found){
                  {TokenNotWellFormed, 2, 2}, {WaitNotAtStart, 2, 11}, {WaitOutOfRange, 2, 21}}));
}

}  // namespace
}  // namespace kiv

// Words typed as romaji, read as the kana an input method would give.

#include "macro/romaji.h"

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace kiv {
namespace {

TEST(Romaji, BothSpellingsAndTheInputMethodsWaysGiveTheSameKana) {
    const std::pair<std::string_view, std::u16string_view> cases[] = {
        {"arigatou", u"ありがとう"},
        {"shitsurei", u"しつれい"},
        {"sitsurei", u"しつれい"},
        {"kaifuku", u"かいふく"},
        {"kaihuku", u"かいふく"},
        {"konnichiha", u"こんにちは"},
        {"konnnitiha", u"こんにちは"},
        {"minna", u"みんな"},
        {"kanji", u"かんじ"},
        {"kan'i", u"かんい"},
        {"kitte", u"きって"},
        {"matcha", u"まっちゃ"},
        {"maccha", u"まっちゃ"},
        {"chotto", u"ちょっと"},
        {"tyotto", u"ちょっと"},
        {"su-pa-", u"すーぱー"},
        {"xtultu", u"っっ"},
        {"xyalyo", u"ゃょ"},
        {"nn", u"ん"},
    };
    for (const auto& [word, kana] : cases) {
        const std::optional<RomajiReading> reading = ReadRomaji(word);
        ASSERT_TRUE(reading) << word;
        EXPECT_EQ(reading->kana, kana) << word;
        EXPECT_EQ(reading->nextMayBe, u"") << word;
    }
}

TEST(Romaji, AWordStillBeingTypedMayGoOnAsAnyKanaItsEndBegins) {
    const std::pair<std::string_view, RomajiReading> cases[] = {
        {"arigat", {u"ありが", u"たちつてとっ"}},
        // A last n may still become な..の: ん is among what it may be.
        {"janken", {u"じゃんけ", u"なにぬねのん"}},
        {"zyanken", {u"じゃんけ", u"なにぬねのん"}},
        {"shinbun", {u"しんぶ", u"なにぬねのん"}},
        {"ky", {u"", u"き"}},
        {"n", {u"", u"なにぬねのん"}},
        {"sh", {u"", u"し"}},
    };
    for (const auto& [word, expected] : cases) {
        const std::optional<RomajiReading> reading = ReadRomaji(word);
        ASSERT_TRUE(reading) << word;
        EXPECT_EQ(ToUtf8(reading->kana + u"|" + reading->nextMayBe),
                  ToUtf8(expected.kana + u"|" + expected.nextMayBe))
            << word;
    }
    for (const std::string_view notRomaji : {"", "hp", "x1", "kyx", "q"}) {
        EXPECT_FALSE(ReadRomaji(notRomaji)) << notRomaji;
    }
}

}  // namespace
}  // namespace kiv

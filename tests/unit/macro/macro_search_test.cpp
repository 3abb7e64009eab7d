// Finding macros by the words typed into the find box.

#include "macro/macro_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "macro/romaji.h"
#include "macro/search_folding.h"
#include "platform/utf8.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

// The list of `lines` (message TAB title, or a line that is its own title).
MacroList ListOf(const std::vector<std::u16string>& lines) {
    test::TempDir dir;
    std::string bytes = "\xEF\xBB\xBF";
    for (const std::u16string& line : lines) bytes += ToUtf8(line) + "\r\n";
    test::WriteBytes(dir.Path("m.txt"), bytes);
    return test::LoadedMacroList(dir.Path("m.txt"));
}

// A word is found within a title or within a message, never across two: the random lists below
// seldom put a word there. Nor is a query of spaces alone a word.
TEST(MacroSearch, FindsAWordOnlyWithinATitleOrAMessage) {
    const MacroList list = ListOf({u"えお\tあいう", u"けこ\tかきく"});
    const MacroSearch search(list);
    // A title's end and its message's start; a message's end and the next title's start.
    EXPECT_EQ(search.Find(u"うえ"), std::vector<std::size_t>{});
    EXPECT_EQ(search.Find(u"おか"), std::vector<std::size_t>{});
    EXPECT_EQ(search.Find(u"けこ"), std::vector<std::size_t>{1});
    EXPECT_FALSE(HasSearchWords(u" 　"));
    EXPECT_TRUE(HasSearchWords(u"　a"));
}

// The same rules on plain UTF-16: a word is found as typed, or as a romaji
// reading's kana followed by one of those its unfinished end may go on as.
std::vector<RomajiReading> WaysToFind(const std::u16string& word) {
    std::vector<RomajiReading> ways{{word, u""}};
    const bool romaji = std::all_of(word.begin(), word.end(), [](char16_t c) {
        return (c >= u'a' && c <= u'z') || c == u'-' || c == u'\'';
    });
    if (!romaji) return ways;
    for (const RomajiReading& reading : ReadRomaji(std::string(word.begin(), word.end()))) {
        ways.push_back({FoldForSearch(reading.kana), FoldForSearch(reading.nextMayBe)});
    }
    return ways;
}

bool NaivelyHas(std::u16string_view text, const std::vector<RomajiReading>& ways) {
    for (const auto& [kana, next] : ways) {
        for (std::size_t at = text.find(kana); at != std::u16string_view::npos;
             at = text.find(kana, at + 1)) {
            const std::size_t end = at + kana.size();
            if (next.empty() ||
                (end < text.size() && next.find(text[end]) != std::u16string::npos)) {
                return true;
            }
        }
    }
    return false;
}

TEST(MacroSearch, FindsWhatANaiveSearchOfEachMacroFinds) {
    // A character outside the BMP; the look-alikes folding makes one; and,
    // 25 a title, more characters than codes of two bytes hold (Hangul, each
    // once), so that the rarest have codes of four bytes and many a trail
    // that is also the code of a letter or a kana.
    const std::u16string_view pieces[] = {
        u"a",  u"i",  u"k",  u"s",  u"t",  u"u",  u"n",          u"sh", u"K",  u"Ａ",
        u"-",  u"'",  u"あ", u"い", u"か", u"が", u"し",         u"つ", u"せ", u"ぞ",
        u"ま", u"ど", u"な", u"ん", u"っ", u"ぢ", u"ア",         u"カ", u"ｶ",  u"ﾞ",
        u"ｰ",  u"ー", u"回", u"復", u"語", u"一", u"\U0001F600", u" ",  u"　"};
    const char16_t* romaji[] = {u"a",  u"ka", u"ga", u"k",  u"sh", u"shi", u"tsu", u"t",
                                u"n",  u"nn", u"se", u"zo", u"-",  u"a-",  u"si",  u"di",
                                u"kk", u"KA", u"ma", u"do", u"na", u"ts",  u"ad",  u"sek"};
    std::mt19937 random(20240611);
    const auto pick = [&random](std::size_t count) { return random() % count; };
    const auto text = [&](std::size_t most, bool spaces) {
        std::u16string made;
        for (std::size_t n = pick(most + 1); n > 0; --n) {
            made += pieces[pick(std::size(pieces) - (spaces ? 0 : 2))];
        }
        return made;
    };
    const auto hangul = [](std::size_t from, std::size_t count) {
        std::u16string made;
        for (std::size_t n = from; n < from + count; ++n) made += static_cast<char16_t>(0xAC00 + n);
        return made;
    };
    std::vector<std::u16string> lines(300);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        lines[n] = u"m" + text(8, true) + hangul(25 * n, 25);
        if (pick(5) != 0) lines[n] += u"\t" + text(5, true);
    }
    const MacroList list = ListOf(lines);
    const MacroSearch search(list);
    for (int i = 0; i < 400; ++i) {
        std::vector<std::vector<RomajiReading>> words;
        std::u16string query;
        for (std::size_t n = 1 + pick(2); n > 0; --n) {
            const std::size_t kind = pick(3);
            // Hangul of the last titles, or of none.
            const std::u16string word = kind == 0   ? romaji[pick(std::size(romaji))]
                                        : kind == 1 ? text(3, false)
                                                    : hangul(6500 + pick(1100), 1 + pick(2));
            if (!word.empty()) words.push_back(WaysToFind(FoldForSearch(word)));
            query += (pick(2) == 0 ? u" " : u"　") + word;
        }
        std::vector<std::size_t> expected;
        for (std::size_t index = 0; index < list.Count(); ++index) {
            const std::u16string title = FoldForSearch(list.Title(index + 1));
            const std::u16string message = FoldForSearch(list.Message(index + 1));
            if (std::all_of(words.begin(), words.end(), [&](const auto& ways) {
                    return NaivelyHas(title, ways) || NaivelyHas(message, ways);
                })) {
                expected.push_back(index);
            }
        }
        EXPECT_EQ(search.Find(query), expected) << ToUtf8(query);
    }
}

// The readings the input method gives back, one per macro; the last macro has none. A word is
// found in a reading as in its text, in one part; without readings, kanji only as typed.
TEST(MacroSearch, FindsKanjiByTheirReading) {
    const MacroList list = ListOf(
        {u"自分で回復", u"魔法を使う\t回復魔法", u"回復\t自分", u"ありがとう\t明日", u"回復薬"});
    const std::vector<MacroReading> readings = {{u"じぶんでかいふく", u"じぶんでかいふく"},
                                                {u"かいふくまほう", u"まほうをつかう"},
                                                {u"じぶん", u"かいふく"},
                                                {u"あす", u"ありがとう"}};
    const MacroSearch read(list, readings);
    const MacroSearch unread(list);
    using Found = std::vector<std::size_t>;
    const struct {
        std::u16string query;
        Found withReadings;
        Found without;
    } cases[] = {
        {u"jibun", {0, 2}, {}},
        {u"kaifuku", {0, 1, 2}, {}},
        {u"kaifu", {0, 1, 2}, {}},  // ふ, and く still being typed
        {u"じぶん", {0, 2}, {}},
        {u"ジブン", {0, 2}, {}},
        {u"自分", {0, 2}, {0, 2}},
        {u"回復", {0, 1, 2, 4}, {0, 1, 2, 4}},
        {u"tsukau", {1}, {}},            // a message's reading
        {u"asu", {3}, {}},               // a reading as long as its text
        {u"arigatou", {3}, {3}},         // a message that reads as itself
        {u"jibun kaifuku", {0, 2}, {}},  // each word in a part of its own
        {u"じぶんかいふく", {}, {}},     // across a title's reading and its message's
        {u"まほうまほう", {}, {}},       // the same
        {u"回復じぶん", {}, {}},         // across a message and its title's reading
        {u"ふく明日", {}, {}},           // across a message's reading and the next title
        {u"す回復", {}, {}},             // across a title's reading and the next title
    };
    for (const auto& [query, withReadings, without] : cases) {
        EXPECT_EQ(read.Find(query), withReadings) << ToUtf8(query);
        EXPECT_EQ(unread.Find(query), without) << ToUtf8(query);
    }
    // Readings that are their texts cost nothing.
    const MacroList kana = ListOf({u"ありがとう", u"またね\tよろしく"});
    EXPECT_EQ(
        MacroSearch(kana, {{u"ありがとう", u"ありがとう"}, {u"よろしく", u"またね"}}).MemoryBytes(),
        MacroSearch(kana).MemoryBytes());
}

}  // namespace
}  // namespace kiv

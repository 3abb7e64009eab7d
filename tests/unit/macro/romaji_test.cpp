// Words typed as romaji, read as the kana an input method would give.

#include "macro/romaji.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "macro/search_folding.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

// Each reading as "kana|what its unfinished end may go on as".
std::vector<std::string> Readings(std::string_view word) {
    std::vector<std::string> readings;
    for (const RomajiReading& reading : ReadRomaji(word)) {
        readings.push_back(ToUtf8(reading.kana + u"|" + reading.nextMayBe));
    }
    return readings;
}

TEST(Romaji, BothSpellingsAndTheInputMethodsWaysGiveTheSameKana) {
    using R = std::vector<std::string>;
    const std::pair<std::string_view, R> cases[] = {
        {"kaihuku", R{"かいふく|"}},
        {"konnnitiha", R{"こんにちは|"}},
        {"minna", R{"みんな|"}},
        {"matcha", R{"まっちゃ|"}},
        {"maccha", R{"まっちゃ|"}},
        {"zyanken", R{"じゃんけ|なにぬねのん"}},  // a last n may still become な..の
        {"su-pa-", R{"すーぱー|"}},
        {"xtultu", R{"っっ|"}},
        {"xyalyo", R{"ゃょ|"}},
        {"nn", R{"ん|"}},
        {"onyaku", R{"おんやく|", "おにゃく|"}},  // as Hepburn writes it, and as typed
        {"arigat", R{"ありが|たちつてとっ"}},
        {"ky", R{"|き"}},
        {"hp", R{}},
        {"x1", R{}},
        {"kyx", R{}},
        {"", R{}},
    };
    for (const auto& [word, readings] : cases) EXPECT_EQ(Readings(word), readings) << word;
}

// Real words from a dictionary nobody here wrote, each in both spellings as
// a converter nobody here wrote gives them (tools/romaji-oracle/make-words).
TEST(Romaji, ReadsRealWordsAsAnIndependentConverterSpellsThem) {
    std::ifstream words(KIVMACRO_ROMAJI_WORDS);
    int spellings = 0;
    for (std::string line; std::getline(words, line);) {
        if (line.empty() || line.front() == '#') continue;
        if (line.back() == '\r') line.pop_back();
        const std::size_t hepburn = line.find('\t') + 1;
        const std::size_t kunrei = line.find('\t', hepburn) + 1;
        const std::u16string word = FoldForSearch(FromUtf8(line.substr(0, hepburn - 1)));
        for (const std::string& spelling :
             {line.substr(hepburn, kunrei - 1 - hepburn), line.substr(kunrei)}) {
            const auto found = [&](const RomajiReading& reading) {
                const std::u16string kana = FoldForSearch(reading.kana);
                return kana == word ||
                       (word.size() == kana.size() + 1 && word.starts_with(kana) &&
                        FoldForSearch(reading.nextMayBe).find(word.back()) != std::u16string::npos);
            };
            EXPECT_TRUE(std::ranges::any_of(ReadRomaji(spelling), found)) << line;
            ++spellings;
        }
    }
    EXPECT_GE(spellings, 100) << "the words file was read";
}

}  // namespace
}  // namespace kiv

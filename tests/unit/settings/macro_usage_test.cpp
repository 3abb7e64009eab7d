// The macros said often and those pinned: how a saying weighs with time, how
// an entry finds its macro again in a file that changed, the limit, and how
// both are stored.

#include "settings/macro_usage.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "app/palette/palette_order.h"
#include "platform/ansi_text.h"
#include "settings/ini_file.h"
#include "settings/macro_variables.h"
#include "settings/numbered_keys.h"
#include "support/temp_dir.h"

namespace kiv {

// For the messages of a failed comparison.
void PrintTo(const UsageEntry& entry, std::ostream* out) {
    *out << "{" << ToAnsi(entry.file) << ", " << entry.position << ", " << ToAnsi(entry.title)
         << ", " << entry.count << ", " << entry.lastDay << "}";
}
void PrintTo(const FavoriteEntry& entry, std::ostream* out) {
    *out << "{" << ToAnsi(entry.file) << ", " << entry.position << ", " << ToAnsi(entry.title)
         << "}";
}

namespace {

using Titles = std::vector<std::u16string>;

// 2024/05/06 as a day number.
constexpr std::int32_t kMay6 = 19849;

struct File {
    std::u16string path;
    Titles titles;

    FileMacros Macros() const {
        return {path, titles.size(), [this](std::size_t position) -> std::u16string_view {
                    return titles[position - 1];
                }};
    }
};

void ExpectScores(const std::vector<double>& scores, const std::vector<double>& expected,
                  const std::string& what) {
    ASSERT_EQ(scores.size(), expected.size()) << what;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        EXPECT_DOUBLE_EQ(scores[i], expected[i]) << what << ", position " << i + 1;
    }
}

Titles TitlesOf(const MacroUsage& usage) {
    Titles titles;
    for (const UsageEntry& entry : usage.Entries()) titles.push_back(entry.title);
    return titles;
}

TEST(MacroUsage, AScoreIsTheCountHalvedForEveryFourteenDaysSinceTheLastSaying) {
    const File file{u"C:\\m.txt", {u"a", u"挨拶", u"b"}};
    MacroUsage usage;
    for (int i = 0; i < 3; ++i) usage.Said(file.Macros(), 2, kMay6 - 20);
    usage.Said(file.Macros(), 2, kMay6);  // four sayings, the last today
    // Days after the last saying, the score then.
    const std::tuple<std::int32_t, double> cases[] = {
        {0, 4}, {7, 2.8284271247461903}, {14, 2}, {28, 1}, {-3, 4} /* the clock put back */,
    };
    for (const auto& [days, score] : cases) {
        ExpectScores(usage.Scores(file.Macros(), kMay6 + days), {0, score, 0},
                     std::to_string(days) + " days on");
    }
    EXPECT_EQ(usage.Entries(), (std::vector<UsageEntry>{{u"C:\\m.txt", 2, u"挨拶", 4, kMay6}}));
}

TEST(MacroUsage, EqualScoresKeepTheFileOrderInThePalette) {
    const File file{u"C:\\m.txt", {u"a", u"b", u"c", u"d", u"e"}};
    MacroUsage usage;
    for (const std::size_t position : {4, 2, 5, 5}) usage.Said(file.Macros(), position, kMay6);
    usage.Said(file.Macros(), 1, kMay6 - 14);
    usage.Said(file.Macros(), 1, kMay6 - 14);  // twice two weeks ago: 1 today, as b and d
    const std::vector<double> scores = usage.Scores(file.Macros(), kMay6);
    EXPECT_EQ(PaletteOrder({0, 1, 2, 3, 4}, std::vector<bool>(5, false), scores),
              (std::vector<std::size_t>{4, 0, 1, 3, 2}));
}

// One entry, made by saying "x" at position 2, looked for in the file as it
// is later.
TEST(MacroUsage, AnEntryMeansTheMacroOfItsTitleNearestWhereItWas) {
    const File before{u"C:\\Macros\\m.txt", {u"a", u"x", u"b"}};
    MacroUsage usage;
    usage.Said(before.Macros(), 2, kMay6);
    const std::tuple<File, std::vector<double>> cases[] = {
        {before, {0, 1, 0}},
        {{u"c:\\MACROS\\M.TXT", {u"a", u"x", u"b"}}, {0, 1, 0}},  // as Windows names files
        {{u"C:\\Macros\\other.txt", {u"a", u"x", u"b"}}, {0, 0, 0}},
        {{before.path, {u"new", u"a", u"x", u"b"}}, {0, 0, 1, 0}},  // moved by an insertion
        {{before.path, {u"x", u"a", u"b", u"x"}}, {1, 0, 0, 0}},    // the nearer
        {{before.path, {u"x", u"a", u"x"}}, {1, 0, 0}},             // the earlier of two as near
        {{before.path, {u"a", u"X", u"b"}}, {0, 0, 0}},             // letter case counts
        {{before.path, {u"a", u"b"}}, {0, 0}},                      // gone
        {{before.path, {u"a", u" x　", u"b"}}, {0, 1, 0}},          // spaces at the ends aside
    };
    for (const auto& [now, scores] : cases) {
        std::string titles;
        for (const std::u16string& title : now.titles) titles += ToAnsi(title) + "|";
        ExpectScores(usage.Scores(now.Macros(), kMay6), scores, ToAnsi(now.path) + " " + titles);
    }
}

TEST(MacroUsage, EqualTitlesAreTwoMacrosAndCaseMakesTitlesDistinct) {
    const File file{u"C:\\m.txt", {u"挨拶", u"Hello", u"挨拶", u"hello"}};
    MacroUsage usage;
    for (const std::size_t position : {1, 1, 3, 2}) usage.Said(file.Macros(), position, kMay6);
    ExpectScores(usage.Scores(file.Macros(), kMay6), {2, 1, 1, 0}, "as said");
    EXPECT_EQ(TitlesOf(usage), (Titles{u"挨拶", u"挨拶", u"Hello"}));
}

TEST(MacroUsage, AMacroMovedKeepsItsEntryWhichTakesItsNewPlaceWhenSaid) {
    MacroUsage usage;
    const File before{u"C:\\m.txt", {u"a", u"b"}};
    usage.Said(before.Macros(), 2, kMay6 - 1);
    const File after{u"C:\\m.txt", {u"new", u"a", u"other", u"b"}};
    usage.Said(after.Macros(), 4, kMay6);
    EXPECT_EQ(usage.Entries(), (std::vector<UsageEntry>{{u"C:\\m.txt", 4, u"b", 2, kMay6}}));
    usage.Clear();
    EXPECT_TRUE(usage.Empty());
}

// The book full, a new macro said today takes the place of the entry of the
// lowest score, of equal scores the one said longest ago, then the later.
TEST(MacroUsage, PastTwoHundredTheLowestScoreGoes) {
    File file{u"C:\\m.txt", {}};
    for (int i = 1; i <= 201; ++i) file.titles.push_back(u"m" + Digits(i));
    struct Case {
        const char* what;
        std::size_t odd;         // said otherwise than the others (twice today)
        std::int32_t oddDay;     // on this day
        std::uint32_t oddCount;  // this often
        std::u16string gone;
    };
    const Case cases[] = {
        {"the lowest", 57, kMay6, 1, u"m57"},
        {"the lowest, said long ago", 120, kMay6 - 60, 2, u"m120"},
        {"equal scores, the older", 10, kMay6 - 14, 4, u"m10"},
        {"all equal, the later", 0, kMay6, 2, u"m200"},
    };
    for (const Case& c : cases) {
        MacroUsage usage;
        for (std::size_t position = 1; position <= 200; ++position) {
            const bool odd = position == c.odd;
            for (std::uint32_t n = 0; n < (odd ? c.oddCount : 2); ++n) {
                usage.Said(file.Macros(), position, odd ? c.oddDay : kMay6);
            }
        }
        usage.Said(file.Macros(), 201, kMay6);
        Titles expected;
        for (int i = 1; i <= 201; ++i) {
            if (u"m" + Digits(i) != c.gone) expected.push_back(u"m" + Digits(i));
        }
        EXPECT_EQ(TitlesOf(usage), expected) << c.what;
    }
}

TEST(FavoriteMacros, APinFollowsItsMacroAndTogglingUnpinsIt) {
    FavoriteMacros favorites;
    const File file{u"C:\\m.txt", {u"a", u"x", u"y", u"A"}};
    EXPECT_TRUE(favorites.Toggle(file.Macros(), 3));
    EXPECT_TRUE(favorites.Toggle(file.Macros(), 1));
    EXPECT_FALSE(favorites.Toggle(file.Macros(), 5)) << "no such macro";
    EXPECT_EQ(favorites.Marks(file.Macros()), (std::vector<bool>{true, false, true, false}));
    const File moved{u"c:\\M.txt", {u"new", u"a", u"x", u"y", u"A"}};
    EXPECT_EQ(favorites.Marks(moved.Macros()),
              (std::vector<bool>{false, true, false, true, false}));
    EXPECT_FALSE(favorites.Toggle(moved.Macros(), 4)) << "unpinned";
    EXPECT_EQ(favorites.Entries(), (std::vector<FavoriteEntry>{{u"C:\\m.txt", 1, u"a"}}));
    EXPECT_FALSE(favorites.Toggle(moved.Macros(), 2));
    EXPECT_TRUE(favorites.Empty());
}

TEST(FavoriteMacros, TheTwoHundredAndFirstPinIsRefused) {
    File file{u"C:\\m.txt", {}};
    for (int i = 1; i <= 201; ++i) file.titles.push_back(u"m" + Digits(i));
    FavoriteMacros favorites;
    for (std::size_t position = 1; position <= 200; ++position) {
        ASSERT_TRUE(favorites.Toggle(file.Macros(), position)) << position;
    }
    EXPECT_FALSE(favorites.Toggle(file.Macros(), 201));
    std::vector<bool> marks(201, true);
    marks.back() = false;
    EXPECT_EQ(favorites.Marks(file.Macros()), marks);
}

TEST(MacroUsage, IsStoredInOrderAndReadBackAlike) {
    test::TempDir dir;
    const File file{u"D:\\表\\マクロ.txt", {u"a", u"k=v,w", u"挨拶"}};
    MacroUsage usage;
    for (const std::size_t position : {2, 2, 2, 3}) usage.Said(file.Macros(), position, kMay6);
    FavoriteMacros favorites;
    favorites.Toggle(file.Macros(), 2);
    MacroCounters counters;
    for (const std::size_t position : {3, 2, 3}) counters.Said(file.Macros(), position);
    const MacroVariables variables = {{u"HP", u"120"}, {u"相手", u"a=b"}};
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    store.SetNowSection(u"Usage");
    store.SetData(u"File3", u"stale");
    store.SetData(u"Other", u"stale");
    WriteMacroUsage(store, usage);
    WriteFavoriteMacros(store, favorites);
    WriteMacroCounters(store, counters);
    WriteMacroVariables(store, variables);
    ASSERT_TRUE(store.Save(u""));
    EXPECT_EQ(test::ReadBytes(dir.Path("s.ini")),
              ToAnsi(u"[Usage]\r\nFile1=D:\\表\\マクロ.txt\r\nMacro1=3,2024/05/06,2,k=v,w\r\n"
                     u"File2=D:\\表\\マクロ.txt\r\nMacro2=1,2024/05/06,3,挨拶\r\n"
                     u"[Favorites]\r\nFile1=D:\\表\\マクロ.txt\r\nMacro1=2,k=v,w\r\n"
                     u"[Counters]\r\nFile1=D:\\表\\マクロ.txt\r\nMacro1=1,2,k=v,w\r\n"
                     u"File2=D:\\表\\マクロ.txt\r\nMacro2=2,3,挨拶\r\n"
                     u"[Variables]\r\nHP=120\r\n相手=a=b\r\n"));

    IniFile again;
    ASSERT_TRUE(again.Load(dir.File("s.ini")));
    EXPECT_EQ(ReadMacroUsage(again).Entries(), usage.Entries());
    EXPECT_EQ(ReadFavoriteMacros(again).Entries(), favorites.Entries());
    EXPECT_EQ(ReadMacroCounters(again).Entries(), counters.Entries());
    EXPECT_EQ(ReadMacroVariables(again), variables);
    EXPECT_EQ(ValueOf(variables, u"hp"), u"120");
    EXPECT_EQ(ValueOf(variables, u"mp"), std::nullopt);
}

// A count goes up by one a saying, follows its macro as the usage does, and
// goes back to 0; past the most kept, the macro said longest ago loses it.
TEST(MacroCounters, CountEachSayingUntilResetAndKeepTheLatest) {
    File file{u"m.txt", {u"a", u"b", u"c"}};
    MacroCounters counters;
    for (const std::size_t position : {1, 1, 2, 1}) counters.Said(file.Macros(), position);
    EXPECT_EQ(counters.CountOf(file.Macros(), 1), 3u);
    file.titles.insert(file.titles.begin(), u"new");
    EXPECT_EQ(counters.CountOf(file.Macros(), 2), 3u) << "moved down by one";
    counters.Reset(file.Macros(), 2);
    EXPECT_EQ(counters.CountOf(file.Macros(), 2), 0u);
    EXPECT_EQ(counters.CountOf(file.Macros(), 3), 1u);

    File many{u"many.txt", {}};
    for (std::size_t i = 0; i <= MacroCounters::kMost; ++i) {
        many.titles.push_back(u"t" + Digits(i));
    }
    for (std::size_t position = 1; position <= many.titles.size(); ++position) {
        counters.Said(many.Macros(), position);
    }
    EXPECT_EQ(counters.Entries().size(), MacroCounters::kMost);
    EXPECT_EQ(counters.CountOf(file.Macros(), 3), 0u) << "said longest ago";
    EXPECT_EQ(counters.CountOf(many.Macros(), 1), 0u) << "said next longest ago";
    EXPECT_EQ(counters.CountOf(many.Macros(), 2), 1u);
}

// A reset takes only the entries of its macro, however they lie; a count at
// the most a settings number holds stays there.
TEST(MacroCounters, AResetTakesItsOwnEntriesAndTheMostStaysTheMost) {
    test::TempDir dir;
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    store.SetNowSection(u"Counters");
    const std::pair<const char16_t*, const char16_t*> entries[] = {
        {u"File1", u"m.txt"},  {u"Macro1", u"2,1,a"},          {u"File2", u"m.txt"},
        {u"Macro2", u"5,1,a"}, {u"File3", u"m.txt"},           {u"Macro3", u"9,2,b"},
        {u"File4", u"m.txt"},  {u"Macro4", u"2147483647,3,c"},
    };
    for (const auto& [key, value] : entries) store.SetData(key, value);
    MacroCounters counters = ReadMacroCounters(store);
    const File file{u"m.txt", {u"a", u"b", u"c"}};
    counters.Reset(file.Macros(), 1);
    EXPECT_EQ(counters.CountOf(file.Macros(), 1), 0u);
    EXPECT_EQ(counters.CountOf(file.Macros(), 2), 9u);
    counters.Said(file.Macros(), 3);
    EXPECT_EQ(counters.CountOf(file.Macros(), 3), 2147483647u);
}

// Windows' profile functions give a value back without the spaces at its end.
// As a settings file keeps it: without its end spaces, or with a "?" for
// each character its code page lacks (at the position it was at).
TEST(MacroUsage, ATitleReadBackAsTheSettingsFileKeptItStillFindsItsMacro) {
    test::TempDir dir;
    test::WriteBytes(dir.Path("s.ini"),
                     ToAnsi(u"[Usage]\r\nFile1=C:\\m.txt\r\nMacro1=2,2024/05/06,2,挨拶\r\n"
                            u"File2=C:\\m.txt\r\nMacro2=1,2024/05/06,4,好き?\r\n"
                            u"[Favorites]\r\nFile1=C:\\m.txt\r\nMacro1=3,挨拶\r\n"
                            u"File2=C:\\m.txt\r\nMacro2=4,好き?\r\n"));
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    const File file{u"C:\\m.txt", {u"a", u"挨拶 ", u"　挨拶　", u"好き\u2661", u"好き!"}};
    MacroUsage usage = ReadMacroUsage(store);
    ExpectScores(usage.Scores(file.Macros(), kMay6), {0, 2, 0, 1, 0}, "read");
    EXPECT_EQ(ReadFavoriteMacros(store).Marks(file.Macros()),
              (std::vector<bool>{false, false, true, true, false}));
    usage.Said(file.Macros(), 4, kMay6);
    EXPECT_EQ(usage.Entries().size(), 2u) << "its own entry, not a second one";
    ExpectScores(usage.Scores(file.Macros(), kMay6), {0, 2, 0, 2, 0}, "said again");
}

TEST(MacroUsage, EmptyBooksLeaveNoKeysAndAddNoSection) {
    test::TempDir dir;
    test::WriteBytes(dir.Path("s.ini"), "[Favorites]\r\nFile1=C:\\m.txt\r\nMacro1=1,a\r\n");
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    EXPECT_TRUE(ReadMacroUsage(store).Empty());
    WriteMacroUsage(store, MacroUsage{});
    WriteFavoriteMacros(store, FavoriteMacros{});
    store.Save(u"");
    EXPECT_EQ(test::ReadBytes(dir.Path("s.ini")), "[Favorites]\r\n");
}

TEST(MacroUsage, AnEntryThatDoesNotReadIsPassedOver) {
    test::TempDir dir;
    test::WriteBytes(dir.Path("s.ini"),
                     "[Usage]\r\n"
                     "File12=C:\\b.txt\r\nMacro12=1,2024/12/31,3,after a gap, read\r\n"
                     "File1=C:\\a.txt\r\nMacro1=2,2024/05/06,1,read\r\n"
                     "File2=C:\\a.txt\r\nMacro2=0,2024/05/06,1,count 0\r\n"
                     "File3=C:\\a.txt\r\nMacro3=x,2024/05/06,1,count not a number\r\n"
                     "File4=C:\\a.txt\r\nMacro4=2,2024/02/30,1,no such day\r\n"
                     "File5=C:\\a.txt\r\nMacro5=2,2024-05-06,1,not a date\r\n"
                     "File6=C:\\a.txt\r\nMacro6=2,2024/05/06,0,position 0\r\n"
                     "File7=\r\nMacro7=2,2024/05/06,1,no file\r\n"
                     "Macro8=2,2024/05/06,1,no file key\r\n"
                     "File9=C:\\a.txt\r\nMacro9=2,2024/05/06\r\n"
                     "File10=C:\\a.txt\r\n"
                     "[Favorites]\r\n"
                     "File2=C:\\a.txt\r\nMacro2=4,read\r\n"
                     "File3=C:\\a.txt\r\nMacro3=0,position 0\r\n"
                     "File4=C:\\a.txt\r\nMacro4=no position\r\n"
                     "Macro5=1,no file\r\n");
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    EXPECT_EQ(ReadMacroUsage(store).Entries(),
              (std::vector<UsageEntry>{{u"C:\\a.txt", 1, u"read", 2, kMay6},
                                       {u"C:\\b.txt", 3, u"after a gap, read", 1, 20088}}));
    EXPECT_EQ(ReadFavoriteMacros(store).Entries(),
              (std::vector<FavoriteEntry>{{u"C:\\a.txt", 4, u"read"}}));
}

}  // namespace
}  // namespace kiv

// The tabs: which file each holds, which is shown, and how they are stored.

#include "settings/tab_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ansi_text.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using Paths = std::vector<std::u16string>;

Paths PathsOf(const TabSet& tabs) {
    Paths paths;
    for (const Tab& tab : tabs.Tabs()) paths.push_back(tab.path);
    return paths;
}

TabSet TabsOf(const Paths& paths, std::size_t shown) {
    TabSet tabs(paths.front());
    for (std::size_t i = 1; i < paths.size(); ++i) tabs.Open(paths[i]);
    tabs.Show(shown);
    return tabs;
}

TEST(TabSet, OpensAFileOnceAtTheRightEndAndNeverMoreThanSixteen) {
    TabSet tabs(u"C:\\a.txt");
    EXPECT_EQ(tabs.Open(u"C:\\b.txt"), TabSet::Opened::Added);
    EXPECT_EQ(tabs.Shown(), 1u);
    EXPECT_EQ(tabs.Open(u"c:\\A.TXT"), TabSet::Opened::AlreadyOpen) << "as Windows compares";
    EXPECT_EQ(tabs.Shown(), 0u) << "shown instead";
    for (char16_t c = u'c'; tabs.Count() < TabSet::kMost; ++c) {
        EXPECT_EQ(tabs.Open(std::u16string(1, c)), TabSet::Opened::Added);
    }
    const TabSet full = tabs;
    EXPECT_EQ(tabs.Open(u"one more"), TabSet::Opened::Full);
    EXPECT_EQ(tabs, full) << "nothing changed";
    EXPECT_EQ(tabs.Open(u"c:\\b.txt"), TabSet::Opened::AlreadyOpen) << "though full";
}

// What each change leaves: the files left to right and the one shown.
TEST(TabSet, ClosesMovesAndStepsKeepingTheShownTabInView) {
    const Paths abcd{u"a", u"b", u"c", u"d"};
    struct Case {
        const char* what;
        std::size_t shown;
        std::function<bool(TabSet&)> change;
        bool done;
        Paths after;
        std::size_t shownAfter;
    };
    const Case cases[] = {
        {"closing the shown shows its right",
         1,
         [](TabSet& t) { return t.Close(1); },
         true,
         {u"a", u"c", u"d"},
         1},
        {"closing the last shown shows its left",
         3,
         [](TabSet& t) { return t.Close(3); },
         true,
         {u"a", u"b", u"c"},
         2},
        {"closing one before the shown",
         2,
         [](TabSet& t) { return t.Close(0); },
         true,
         {u"b", u"c", u"d"},
         1},
        {"closing one after the shown",
         0,
         [](TabSet& t) { return t.Close(2); },
         true,
         {u"a", u"b", u"d"},
         0},
        {"no tab beyond the end", 0, [](TabSet& t) { return t.Close(4); }, false, abcd, 0},
        {"the shown moves right",
         1,
         [](TabSet& t) { return t.Move(1, 1); },
         true,
         {u"a", u"c", u"b", u"d"},
         2},
        {"its neighbour moves over it",
         1,
         [](TabSet& t) { return t.Move(0, 1); },
         true,
         {u"b", u"a", u"c", u"d"},
         0},
        {"not left of the first", 0, [](TabSet& t) { return t.Move(0, -1); }, false, abcd, 0},
        {"not right of the last", 0, [](TabSet& t) { return t.Move(3, 1); }, false, abcd, 0},
    };
    for (const Case& c : cases) {
        TabSet tabs = TabsOf(abcd, c.shown);
        EXPECT_EQ(c.change(tabs), c.done) << c.what;
        EXPECT_EQ(PathsOf(tabs), c.after) << c.what;
        EXPECT_EQ(tabs.Shown(), c.shownAfter) << c.what;
    }
    TabSet bound = TabsOf({u"a", u"b"}, 0);
    bound.Bind(0, u"戦士");
    ASSERT_TRUE(bound.Close(1));
    EXPECT_EQ(bound.ShownTab(), (Tab{u"a", u""})) << "a lone tab's client would be out of sight";
    TabSet one(u"only");
    EXPECT_FALSE(one.Close(0)) << "never the last";
    EXPECT_EQ(one.StepFrom(1), 0u);
    const TabSet tabs = TabsOf(abcd, 3);
    EXPECT_EQ(tabs.StepFrom(1), 0u) << "wrapping";
    EXPECT_EQ(tabs.StepFrom(-1), 2u);
    EXPECT_EQ(TabsOf(abcd, 0).StepFrom(-1), 3u);
}

TEST(TabSet, AKeySaysTheShownTabsMacroElseTheFirstFromTheLeft) {
    const TabSet tabs = TabsOf({u"a", u"b", u"c"}, 1);
    // Which tabs have the title, where the key lands.
    const std::tuple<std::vector<std::size_t>, std::optional<std::size_t>> cases[] = {
        {{0, 1, 2}, 1},
        {{0, 2}, 0},
        {{2, 0}, 0},
        {{2}, 2},
        {std::vector<std::size_t>{}, std::nullopt}};
    for (const auto& [having, lands] : cases) {
        const std::vector<std::size_t>& with = having;  // a binding no lambda may capture
        const auto has = [&with](std::size_t i) {
            return std::find(with.begin(), with.end(), i) != with.end();
        };
        EXPECT_EQ(TabForKey(tabs, has), lands);
    }
    EXPECT_EQ(TabLabel({u"C:\\マクロ\\戦士.TXT", u""}), u"戦士");
    EXPECT_EQ(TabLabel({u"D:/x/.txt", u""}), u".txt") << "no name left to show";
    EXPECT_EQ(TabLabel({u"notes.md", u"クライアント2"}), u"notes.md（クライアント2）");
}

// The settings file as a player's hand may have left it, and the tabs read.
TEST(TabSet, IsReadFromTheSettingsWithTheirFileNameWinningAndWrittenBackInOrder) {
    struct Case {
        const char* what;
        const char16_t* section;
        const char16_t* fileName;
        Paths paths;
        std::size_t shown;
    };
    const Case cases[] = {
        {"no section: the one file", u"", u"C:\\m.txt", {u"C:\\m.txt"}, 0},
        {"as written", u"File1=a\r\nFile2=b\r\nActive=2\r\n", u"b", {u"a", u"b"}, 1},
        {"the file name shows its tab",
         u"File1=a\r\nFile2=b\r\nActive=2\r\n",
         u"A",
         {u"a", u"b"},
         0},
        {"or comes first", u"File1=a\r\nFile2=b\r\nActive=1\r\n", u"z", {u"z", u"a", u"b"}, 0},
        {"an active out of range", u"File1=a\r\nFile2=b\r\nActive=9\r\n", u"", {u"a", u"b"}, 0},
        {"an active of naught", u"File1=a\r\nFile2=b\r\nActive=0\r\n", u"", {u"a", u"b"}, 0},
        {"an active not a number", u"File1=a\r\nFile2=b\r\nActive=x\r\n", u"a", {u"a", u"b"}, 0},
        {"gaps and twins passed over",
         u"File2=a\r\nFile5=b\r\nFile7=A\r\nActive=2\r\n",
         u"b",
         {u"a", u"b"},
         1},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        test::WriteBytes(dir.Path("s.ini"), ToAnsi(std::u16string(u"[Tabs]\r\n") + c.section));
        IniFile store;
        ASSERT_TRUE(store.Load(dir.File("s.ini")));
        const TabSet tabs = ReadTabs(store, c.fileName);
        EXPECT_EQ(PathsOf(tabs), c.paths) << c.what;
        EXPECT_EQ(tabs.Shown(), c.shown) << c.what;
    }

    test::TempDir dir;
    TabSet full(u"first");
    for (char16_t c = u'b'; full.Count() < TabSet::kMost; ++c) full.Open(std::u16string(1, c));
    full.Bind(1, u"クライアント=2");
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    WriteTabs(store, full);
    ASSERT_TRUE(store.Save(u"Tabs"));
    const TabSet read = ReadTabs(store, u"elsewhere");
    EXPECT_EQ(PathsOf(read).front(), u"elsewhere") << "first, the last falling";
    EXPECT_EQ(read.Count(), TabSet::kMost);
    EXPECT_EQ(read.Tabs()[2], (Tab{u"b", u"クライアント=2"})) << "its client goes with it";

    TabSet two(u"C:\\表\\a.txt");
    two.Open(u"b");
    two.Bind(0, u"ゲーム");
    IniFile small;
    ASSERT_TRUE(small.Load(dir.File("t.ini")));
    WriteTabs(small, two);
    ASSERT_TRUE(small.Save(u"Tabs"));
    EXPECT_EQ(
        test::ReadBytes(dir.Path("t.ini")),
        ToAnsi(u"[Tabs]\r\nFile1=C:\\表\\a.txt\r\nFile2=b\r\nActive=2\r\nClient1=ゲーム\r\n"));
    IniFile again;
    ASSERT_TRUE(again.Load(dir.File("t.ini")));
    EXPECT_EQ(ReadTabs(again, u"b"), two);
}

}  // namespace
}  // namespace kiv

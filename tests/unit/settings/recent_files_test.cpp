// The recent macro files: their order, the place in each, and how they are
// stored.

#include "settings/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/ansi_text.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using Paths = std::vector<std::u16string>;

Paths PathsOf(const RecentFiles& recent) {
    Paths paths;
    paths.reserve(recent.Files().size());
    for (const RecentFile& file : recent.Files()) paths.push_back(file.path);
    return paths;
}

TEST(RecentFiles, TheLastLoadedComesFirstOnceAsWindowsComparesNamesAndTheNinthFalls) {
    RecentFiles recent;
    for (const char16_t* path : {u"C:\\a.txt", u"C:\\b.txt", u"c:\\A.TXT"}) recent.Loaded(path);
    EXPECT_EQ(PathsOf(recent), (Paths{u"c:\\A.TXT", u"C:\\b.txt"})) << "once, as loaded last";
    recent.Leave(u"C:\\B.txt", {2, 0, u"二"});
    recent.Loaded(u"C:\\b.txt");
    ASSERT_NE(recent.PlaceOf(u"c:\\b.TXT"), nullptr);
    EXPECT_EQ(*recent.PlaceOf(u"c:\\b.TXT"), (FilePlace{2, 0, u"二"})) << "kept when loaded again";
    EXPECT_EQ(recent.PlaceOf(u"C:\\a.txt"), nullptr);
    for (char16_t c = u'1'; c <= u'8'; ++c) recent.Loaded(u"D:\\" + std::u16string(1, c));
    EXPECT_EQ(PathsOf(recent), (Paths{u"D:\\8", u"D:\\7", u"D:\\6", u"D:\\5", u"D:\\4", u"D:\\3",
                                      u"D:\\2", u"D:\\1"}));
    recent.Remove(u"d:\\5");
    EXPECT_EQ(recent.Files().size(), 7u);
    recent.Clear();
    EXPECT_TRUE(recent.Files().empty());
}

// Stepping goes round the menu's order past missing files, and never
// reorders it.
TEST(RecentFiles, StepsWrapPastMissingFilesAndKeepTheOrder) {
    RecentFiles recent;
    for (const char16_t* path : {u"d", u"c", u"b", u"a"}) recent.Loaded(path);  // a b c d
    const auto exists = [](std::u16string_view path) { return path != u"c"; };
    // From, step, where it lands, what was passed over.
    const std::tuple<std::u16string, int, std::optional<std::u16string>, Paths> cases[] = {
        {u"a", 1, u"b", {}},          {u"b", 1, u"d", {u"c"}},  {u"d", 1, u"a", {}},
        {u"a", -1, u"d", {}},         {u"d", -1, u"b", {u"c"}}, {u"elsewhere", 1, u"a", {}},
        {u"elsewhere", -1, u"d", {}}, {u"A", 1, u"b", {}},
    };
    for (const auto& [from, step, lands, passed] : cases) {
        Paths skipped;
        EXPECT_EQ(recent.Step(from, step, exists, skipped), lands) << ToAnsi(from) << step;
        EXPECT_EQ(skipped, passed) << ToAnsi(from) << step;
    }
    Paths skipped;
    EXPECT_EQ(recent.Step(
                  u"a", 1, [](std::u16string_view) { return false; }, skipped),
              std::nullopt)
        << "no other file there";
    EXPECT_EQ(skipped, (Paths{u"b", u"c", u"d"}));
    EXPECT_EQ(PathsOf(recent), (Paths{u"a", u"b", u"c", u"d"}));
}

TEST(RecentFiles, ThePlaceIsFoundByTitleNearestItsPositionThenByPosition) {
    const std::vector<std::u16string> titles{u"x", u"回復", u"y", u"z", u"回復", u""};
    const auto titleAt = [&titles](std::size_t position) -> std::u16string_view {
        return titles[position - 1];
    };
    const std::tuple<FilePlace, std::optional<std::size_t>> cases[] = {
        {{3, 0, u"回復"}, 2},  // the nearer of two
        {{4, 0, u"回復"}, 5},  //
        {{4, 0, u"gone"}, 4},  // by position
        {{7, 0, u"gone"}, std::nullopt},
        {{0, 0, u"gone"}, std::nullopt},
        {{0, 3, u""}, std::nullopt},  // nothing was selected, though a title is empty
    };
    for (const auto& [place, position] : cases) {
        EXPECT_EQ(RestoredPosition(place, titles.size(), titleAt), position) << place.position;
    }
}

TEST(RecentFiles, AreStoredMostRecentFirstWithTheirPlacesAndReadBackAlike) {
    test::TempDir dir;
    RecentFiles recent;
    recent.Loaded(u"C:\\old.txt");
    recent.Loaded(u"D:\\表\\new.txt");
    recent.Leave(u"D:\\表\\new.txt", {3, 1, u"a,b"});
    IniFile store;
    ASSERT_TRUE(store.Load(dir.File("s.ini")));
    store.SetNowSection(u"RecentFiles");
    store.SetData(u"File3", u"stale");
    WriteRecentFiles(store, recent);
    ASSERT_TRUE(store.Save(u"RecentFiles"));
    EXPECT_EQ(test::ReadBytes(dir.Path("s.ini")),
              ToAnsi(u"[RecentFiles]\r\nFile1=D:\\表\\new.txt\r\nPlace1=3,1,a,b\r\n"
                     u"File2=C:\\old.txt\r\n"));

    test::WriteBytes(dir.Path("s.ini"),
                     ToAnsi(u"[RecentFiles]\r\nFile1=D:\\表\\new.txt\r\nPlace1=3,1,a,b\r\n"
                            u"File2=\r\nFile3=C:\\old.txt\r\nPlace3=-1,1,t\r\n"));
    IniFile again;
    ASSERT_TRUE(again.Load(dir.File("s.ini")));
    const RecentFiles read = ReadRecentFiles(again);
    EXPECT_EQ(read.Files(), (std::vector<RecentFile>{{u"D:\\表\\new.txt", FilePlace{3, 1, u"a,b"}},
                                                     {u"C:\\old.txt", std::nullopt}}))
        << "an empty entry passed over, an unreadable place dropped";
}

}  // namespace
}  // namespace kiv

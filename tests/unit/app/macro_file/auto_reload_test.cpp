#include <gtest/gtest.h>

#include "app/macro_file/auto_reload.h"

#include <tuple>

#include "app/macro_file/file_watch.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"
#include "support/write_time.h"

namespace kiv {
namespace {

// A change is acted on once it is real; a file that cannot be read is tried again and told once.
TEST(AutoReload, ActsOnRealChangesOnlyAndTellsOfAnUnreadableFileOnce) {
    AutoReload reload;
    const FileStamp first{10, 1};
    reload.Loaded(first);
    EXPECT_EQ(reload.Settled(first, true), AutoReload::Step::Nothing) << "another file changed";
    EXPECT_EQ(reload.Settled(std::nullopt, true), AutoReload::Step::Nothing)
        << "deleted: list stays";
    EXPECT_EQ(reload.Settled(FileStamp{12, 2}, true), AutoReload::Step::Reload);
    // Emptied while the list shows macros: one more moment for the second half of a save.
    EXPECT_EQ(reload.Settled(FileStamp{0, 3}, true), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.Settled(FileStamp{0, 3}, true), AutoReload::Step::Reload) << "still empty";
    AutoReload fresh;
    EXPECT_EQ(fresh.Settled(FileStamp{0, 3}, false), AutoReload::Step::Reload) << "nothing shown";

    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::Tell);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::Nothing) << "told once";
    EXPECT_EQ(reload.Settled(FileStamp{13, 5}, true), AutoReload::Step::Reload);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(reload.ReloadFailed(), AutoReload::Step::Tell) << "changed, still unreadable";
    }
    reload.Reloaded(FileStamp{14, 3});
    EXPECT_EQ(reload.Settled(FileStamp{15, 4}, true), AutoReload::Step::Reload);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain) << "after a good read, anew";
}

// Where write times are coarse, a save of the same size within their grain
// changes only the content: the look's hash tells it; elsewhere the stamp
// does, and a file too large to read every second is left to it.
TEST(FileLooks, TheContentTellsWhereStampsAreCoarse) {
    test::TempDir dir;
    const auto path = dir.Path("chat.txt");
    test::WriteBytes(path, "a\r\n");
    const test::WriteTime time(path);
    const auto coarse = LookAt(path.u16string(), true);
    const auto fine = LookAt(path.u16string(), false);
    ASSERT_TRUE(coarse && fine);
    test::WriteBytes(path, "b\r\n");
    time.SetBack();
    EXPECT_NE(LookAt(path.u16string(), true), coarse);
    EXPECT_EQ(LookAt(path.u16string(), false), fine) << "the stamp alone cannot see it";
    EXPECT_EQ(LookAt(path.u16string(), true), LookAt(path.u16string(), true)) << "nothing changed";
    test::WriteBytes(path, std::string(kMostHashed + 1, 'x'));
    EXPECT_EQ(LookAt(path.u16string(), true)->contentHash, 0u);
    EXPECT_EQ(LookAt(dir.Path("none.txt").u16string(), true), std::nullopt);
}

// The user's next command acts on the selected entry: after a reload it must
// still be the macro the user chose, not the one that moved into its place.
TEST(AutoReload, TheSelectedMacroStaysSelectedWhereverItMoved) {
    test::TempDir dir;
    const auto list = [&](const std::string& bytes) {
        test::WriteBytes(dir.Path("m.txt"), bytes);
        return test::LoadedMacroList(dir.Path("m.txt"));
    };
    const MacroList before = list("a\r\nb\r\nc\r\nb\r\n");
    // Selected before, the file after, selected after.
    const std::tuple<int, std::string, int> cases[] = {
        {3, "x\r\na\r\nb\r\nc\r\nb\r\n", 4},  // the second b, one down
        {1, "b\r\na\r\nc\r\n", 0},            // moved up
        {2, "a\r\nb\r\nz\r\nb\r\n", 2},       // gone: the same place
        {3, "a\r\nz\r\n", 1},                 // gone past the end: the last
        {-1, "a\r\n", -1},
        {0, "", -1},
    };
    for (const auto& [selected, after, expected] : cases) {
        EXPECT_EQ(SelectionAfterReload(before, selected, list(after)), expected)
            << selected << " in " << after;
    }
}

}  // namespace
}  // namespace kiv

#include <gtest/gtest.h>

#include "app/macro_file/auto_reload.h"

#include <tuple>
#include <utility>
#include <vector>

#include "app/macro_file/file_watch.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"
#include "support/write_time.h"

namespace kiv {
namespace {

// A change is acted on once it is real. A file another program holds is
// tried again while it is there, less and less often, and told once when it
// has failed for about 10 s; one that cannot be read as it is (no text, too
// large) is told at once and left until it changes; one gone is left to the
// watch.
TEST(AutoReload, ActsOnRealChangesAndTriesAHeldFileUntilItReads) {
    using Failure = AutoReload::Failure;
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

    // Each failure: when the next try comes, in seconds since the first
    // failure, and whether the user is told now.
    const auto tries = [&reload](Failure why, int count) {
        std::vector<std::pair<double, bool>> seen;
        unsigned at = 0;
        for (int i = 0; i < count; ++i) {
            const AutoReload::Retry retry = reload.ReloadFailed(why);
            at += retry.afterMs.value_or(0);
            seen.emplace_back(retry.afterMs ? at / 1000.0 : -1, retry.tell);
        }
        return seen;
    };
    using Tries = std::vector<std::pair<double, bool>>;
    EXPECT_EQ(tries(Failure::Held, 7), (Tries{{0.75, false},
                                              {2.25, false},
                                              {5.25, false},
                                              {10.25, false},
                                              {15.25, true},
                                              {20.25, false},
                                              {25.25, false}}))
        << "told at the try 10.25 s after the first failure, once";
    EXPECT_EQ(tries(Failure::Gone, 1), (Tries{{-1, false}}));
    reload.Reloaded(FileStamp{14, 3});
    EXPECT_EQ(tries(Failure::Refused, 2), (Tries{{-1, true}, {-1, false}}));
    reload.Reloaded(FileStamp{15, 4});
    EXPECT_EQ(tries(Failure::Held, 1), (Tries{{0.75, false}})) << "after a good read, anew";
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
        {2, "a\r\nb\r\nz\r\nb\r\n", -1},      // gone: none, not the macro in its place
        {3, "a\r\nz\r\n", -1},
        {-1, "a\r\n", -1},
        {0, "", -1},
    };
    for (const auto& [selected, after, expected] : cases) {
        const std::optional<ChosenMacro> chosen = ChosenIn(before, selected);
        EXPECT_EQ(chosen ? FoundAgain(*chosen, list(after)) : -1, expected)
            << selected << " in " << after;
    }
}

}  // namespace
}  // namespace kiv

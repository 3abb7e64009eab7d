#include <gtest/gtest.h>

#include "app/auto_reload.h"

namespace kiv {
namespace {

TEST(AutoReload, ActsOnRealChangesOnly) {
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
}

TEST(AutoReload, AnUnreadableFileIsTriedAgainAndToldOnce) {
    AutoReload reload;
    reload.Loaded(FileStamp{10, 1});
    EXPECT_EQ(reload.Settled(FileStamp{12, 2}, true), AutoReload::Step::Reload);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::Tell);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::Nothing) << "told once, not per change";
    reload.Reloaded(FileStamp{14, 3});
    EXPECT_EQ(reload.Settled(FileStamp{15, 4}, true), AutoReload::Step::Reload);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain) << "after a good read, anew";
}

}  // namespace
}  // namespace kiv

// The watcher's thread telling a window of this process about the file.

#include "app/macro_file/file_watch_win32.h"

#include "app/macro_file/file_watch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <new>
#include <utility>

#include "platform/file_system.h"
#include "platform/handle_win32.h"
#include "support/in_process_window.h"
#include "support/temp_dir.h"
#include "support/write_time.h"

namespace kiv {
namespace {

constexpr UINT kChanged = WM_APP + 7;
int told = 0;  // the watcher's messages the window received

LRESULT CALLBACK CountTold(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kChanged) ++told;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeReceiver() {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountTold));
    return window;
}

// A file on this machine is watched from a timer, one on a share from a
// thread: both the same way.
class FileWatchTest : public testing::TestWithParam<FileWatch::Where> {
  protected:
    void SetUp() override {
        told = 0;
        std::filesystem::create_directory(folder_);
        test::WriteBytes(File(), "a\r\n");
        ASSERT_TRUE(window_);
        watch_.Start(window_.Get(), kChanged, File().u16string(), StampOf(File().u16string()),
                     GetParam());
    }
    std::filesystem::path File() const { return folder_ / "chat.txt"; }
    // Whether the watcher tells within `timeout` (a look is due every second).
    bool Told(std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
        return test::PumpUntil([&] { return std::exchange(told, 0) > 0; }, timeout);
    }

    test::TempDir dir_;
    std::filesystem::path folder_ = dir_.Path("macros");
    UniqueWindow window_{MakeReceiver()};
    FileWatch watch_;
};

// The watch holds nothing open: the folder can go (Explorer, a sync client)
// and come back, and the watch follows the file's name.
TEST_P(FileWatchTest, EveryChangeIsToldOnceEvenOfAFolderRemovedAndMadeAgainAndNotTheToolsOwnWrite) {
    test::WriteBytes(File(), "b\r\n");  // the same size: the write time tells
    EXPECT_TRUE(Told());
    // A look is due every second: one and a half cover one whatever the phase.
    EXPECT_FALSE(Told(std::chrono::milliseconds(1500))) << "nothing changed since";
    std::filesystem::remove_all(folder_);
    ASSERT_FALSE(std::filesystem::exists(folder_)) << "nothing holds it";
    EXPECT_TRUE(Told());
    std::filesystem::create_directory(folder_);
    test::WriteBytes(File(), "made again\r\n");
    EXPECT_TRUE(Told());
    test::WriteBytes(File(), "and edited\r\n");
    EXPECT_TRUE(Told()) << "later edits too";
    // Just after a look, the next a second away.
    test::WriteBytes(File(), "the tool's own\r\n");
    watch_.Saw(LookAt(File().u16string(), GetParam() == FileWatch::Where::Elsewhere));
    watch_.Saw(std::nullopt);  // a reading that could take no stamp
    EXPECT_FALSE(Told(std::chrono::milliseconds(1500))) << "the tool's own write, read back";
    watch_.Stop();
    test::WriteBytes(File(), "c\r\n");
    EXPECT_FALSE(Told(std::chrono::milliseconds(1500))) << "nothing once stopped";
}

// On FAT and shares a same-size save within the write time's grain leaves the
// stamp as it was (Wine never reports FAT: the volume's kind is given here).
TEST_P(FileWatchTest, WhereStampsAreCoarseASameSizeSaveAtTheSameTimeIsTold) {
    watch_.Stop();
    FileWatch::SetCoarseStampsSeam([](const std::u16string&) { return true; });
    watch_.Start(window_.Get(), kChanged, File().u16string(), FileWatch::Look(File().u16string()),
                 GetParam());
    FileWatch::SetCoarseStampsSeam(nullptr);
    const std::optional<FileStamp> before = StampOf(File().u16string());
    const test::WriteTime time(File());
    test::WriteBytes(File(), "b\r\n");
    time.SetBack();
    ASSERT_EQ(StampOf(File().u16string()), before) << "a save no stamp can see";
    EXPECT_TRUE(Told());
}

// A look that fails past what it expects (memory gone as it hashes the file)
// is dropped and the next looks on, from the timer and from the watcher's
// own thread alike, where it would end the program.
TEST_P(FileWatchTest, ALookThatThrowsIsDroppedAndTheNextLooksOn) {
    watch_.Stop();
    FileWatch::SetCoarseStampsSeam([](const std::u16string&) { return true; });
    watch_.Start(window_.Get(), kChanged, File().u16string(), FileWatch::Look(File().u16string()),
                 GetParam());
    FileWatch::SetCoarseStampsSeam(nullptr);
    static std::atomic<int> throws{0};
    throws = 2;
    SetBeforeOpenHook([](const std::u16string&) {
        if (throws-- > 0) throw std::bad_alloc();
    });
    test::WriteBytes(File(), "b\r\n");
    EXPECT_TRUE(Told(std::chrono::seconds(5)));
    EXPECT_LT(throws, 0) << "both looks threw";
    SetBeforeOpenHook(nullptr);
}

// A look on a share may take long (it hashes the file). One that began before
// the tool's own write and ended after the window saw it read back has seen
// the write half-done: it is no change.
HANDLE lookGoesOn = nullptr;
std::atomic<bool> lookWaits{false};
DWORD testThread = 0;

void HoldTheWatchersLook(const std::u16string&) {
    if (GetCurrentThreadId() == testThread || lookGoesOn == nullptr) return;
    lookWaits = true;
    WaitForSingleObject(lookGoesOn, 10000);
}

TEST_P(FileWatchTest, ALookOverlappingTheToolsOwnWriteIsNoChange) {
    if (GetParam() != FileWatch::Where::Elsewhere) GTEST_SKIP() << "only a share's looks overlap";
    const UniqueHandle goOn(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    testThread = GetCurrentThreadId();
    lookGoesOn = goOn.Get();
    SetBeforeOpenHook(HoldTheWatchersLook);
    ASSERT_TRUE(test::PumpUntil([] { return lookWaits.load(); }));
    test::WriteBytes(File(), "the tool's own write\r\n");
    watch_.Saw(LookAt(File().u16string(), true));
    SetEvent(goOn.Get());
    SetBeforeOpenHook(nullptr);
    lookGoesOn = nullptr;
    EXPECT_FALSE(Told(std::chrono::milliseconds(1500)));
}

INSTANTIATE_TEST_SUITE_P(Both, FileWatchTest,
                         testing::Values(FileWatch::Where::FixedDisk, FileWatch::Where::Elsewhere));

// Only a fixed disk is looked at on the window's thread.
TEST(FileWatchPlace, OnlyAFixedDiskIsTrustedToAnswerAtOnce) {
    using enum FileWatch::Where;
    const test::TempDir dir;  // on the system's disk, here and on a build machine
    EXPECT_EQ(FileWatch::WhereIs(dir.Path("chat.txt").u16string()), FixedDisk);
    EXPECT_EQ(FileWatch::WhereIs(u"\\\\?\\" + dir.Path("chat.txt").u16string()), FixedDisk);
    EXPECT_EQ(FileWatch::WhereIs(u"\\\\server\\share\\chat.txt"), Elsewhere);
    EXPECT_EQ(FileWatch::WhereIs(u"//server/share/chat.txt"), Elsewhere);
    EXPECT_EQ(FileWatch::WhereIs(u"\\\\?\\UNC\\server\\share\\chat.txt"), Elsewhere);
    EXPECT_FALSE(FileWatch::HasCoarseStamps(dir.Path("chat.txt").u16string(), FixedDisk));
    EXPECT_TRUE(FileWatch::HasCoarseStamps(dir.Path("chat.txt").u16string(), Elsewhere))
        << "a share's cache may keep a stamp a save did not change";
    // A drive letter nothing is mapped to, as after the relaunch as administrator.
    char16_t unused = u'Z';
    while (unused >= u'D' && (GetLogicalDrives() & (1u << (unused - u'A'))) != 0) --unused;
    ASSERT_GE(unused, u'D') << "every drive letter is in use";
    EXPECT_EQ(FileWatch::WhereIs(std::u16string(1, unused) + u":\\chat.txt"), Elsewhere);
}

}  // namespace
}  // namespace kiv

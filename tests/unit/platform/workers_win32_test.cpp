// Threads nothing waits for as they go are waited for at the end of the
// program, a bounded time; one that still runs then ends the process before
// anything static is torn down (ExitProcess, which the test stands in for).

#include "platform/workers_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/handle_win32.h"

namespace kiv {
namespace {

TEST(Workers, TheEndWaitsForEveryWorkerABoundedTime) {
    static std::atomic<int> ends{0};
    static std::atomic<UINT> endedWith{0};
    SetProcessEndSeam([](UINT code) {
        endedWith = code;
        ++ends;
    });
    ASSERT_TRUE(WorkersEnded(10000)) << "an earlier test's";
    const UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> ran{0};
    ASSERT_TRUE(StartWorker([&] {
        WaitForSingleObject(release.Get(), 10000);
        ++ran;
    }));
    ASSERT_TRUE(StartWorker([&] {
        ++ran;
        throw std::runtime_error("a worker's own");
    }));
    EXPECT_FALSE(WorkersEnded(100));
    EndWithWorkers(3, 100);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(endedWith, 3u);
    SetEvent(release.Get());
    EXPECT_TRUE(WorkersEnded(10000));
    EXPECT_EQ(ran, 2);
    EndWithWorkers(4, 100);
    EXPECT_EQ(ends, 1) << "none left: the program returns as it would";

    // Every worker is waited for, not only the first to have started: one still reading a share
    // after the first ended would run on into the static teardown.
    const UniqueHandle stalled(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // The first is still at work as the wait begins and ends within its bound:
    // its work is a time, as nothing the wait does can be waited on.
    ASSERT_TRUE(StartWorker([] { Sleep(200); }));
    ASSERT_TRUE(StartWorker([&] { WaitForSingleObject(stalled.Get(), 10000); }));
    EXPECT_FALSE(WorkersEnded(1000));
    SetEvent(stalled.Get());
    EXPECT_TRUE(WorkersEnded(10000));
    SetProcessEndSeam(nullptr);
}

}  // namespace
}  // namespace kiv

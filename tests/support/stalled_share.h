#pragma once
// A share that stopped answering, for what reads or writes the macro file off
// the window's thread. While a StalledShare lives every folder is taken for a
// share (under Wine every folder a test can make is on a fixed disk), and the
// opening of a file a stall holds waits until the test releases it: 10 s at
// most, so that a test never hangs on it.

#include <windows.h>

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <utility>

#include "app/macro_file/file_watch_win32.h"
#include "platform/file_system.h"

namespace kiv::test {

// One file held at its opening.
class Stall {
  public:
    // Set anew each time: a stall met and released before may hold again.
    void Hold(std::u16string nameEnd) {
        const std::lock_guard lock(mutex_);
        ResetEvent(release_);
        met_ = false;
        nameEnd_ = std::move(nameEnd);
    }
    void Release() const { SetEvent(release_); }
    bool Met() const { return met_; }

  private:
    friend class StalledShare;
    static inline std::mutex mutex_;  // over every stall's name
    // Never closed: a reading thread of the tool's, which nothing joins,
    // may still wait on it as the test ends.
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> met_{false};
    std::u16string nameEnd_;  // none: it holds nothing
};

class StalledShare {
  public:
    StalledShare() {
        FileWatch::SetWhereSeam([](const std::u16string&) { return FileWatch::Where::Elsewhere; });
        // A share's watch would read the file every second, meeting a stall
        // meant for the tool's own reading.
        FileWatch::SetCoarseStampsSeam([](const std::u16string&) { return false; });
        SetBeforeOpenHook(Opening);
    }
    ~StalledShare() {
        for (Stall& stall : stalls_) {
            const std::lock_guard lock(Stall::mutex_);
            stall.nameEnd_.clear();
            stall.Release();
        }
        SetBeforeOpenHook(nullptr);
        FileWatch::SetCoarseStampsSeam(nullptr);
        FileWatch::SetWhereSeam(nullptr);
    }
    StalledShare(const StalledShare&) = delete;
    StalledShare& operator=(const StalledShare&) = delete;

    void ReleaseAll() const {
        for (const Stall& stall : stalls_) stall.Release();
    }

    Stall& first = stalls_[0];
    Stall& second = stalls_[1];

  private:
    static void Opening(const std::u16string& path) {
        HANDLE release = nullptr;
        {
            const std::lock_guard lock(Stall::mutex_);
            for (Stall& stall : stalls_) {
                if (!stall.nameEnd_.empty() && path.ends_with(stall.nameEnd_)) {
                    stall.met_ = true;
                    release = stall.release_;
                }
            }
        }
        if (release != nullptr) WaitForSingleObject(release, 10000);
    }

    // For the whole run, like the threads that may look at them.
    static inline std::array<Stall, 2> stalls_;
};

}  // namespace kiv::test

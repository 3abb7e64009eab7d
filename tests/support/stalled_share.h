#pragma once
// A share that stopped answering, for what reads or writes the macro file off
// the window's thread. While a StalledShare lives every folder is taken for a
// share (under Wine every folder a test can make is on a fixed disk), and the
// opening of a file a stall names waits until the test releases it: 10 s at
// most, so that a test never hangs on it.

#include <windows.h>

#include <array>
#include <atomic>
#include <string>
#include <utility>

#include "app/macro_file/file_watch_win32.h"
#include "platform/file_system.h"
#include "platform/handle_win32.h"

namespace kiv::test {

struct Stall {
    UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> met{false};
    std::u16string name;  // how the path of the file it holds ends
    void Release() { SetEvent(release.Get()); }
};

class StalledShare {
  public:
    StalledShare() {
        FileWatch::SetWhereSeam([](const std::u16string&) { return FileWatch::Where::Elsewhere; });
        SetBeforeOpenHook(Opening);
    }
    ~StalledShare() {
        ReleaseAll();
        stalls_ = {};
        SetBeforeOpenHook(nullptr);
        FileWatch::SetWhereSeam(nullptr);
    }
    StalledShare(const StalledShare&) = delete;
    StalledShare& operator=(const StalledShare&) = delete;

    // Set anew each time: a stall met and released before may hold again.
    void On(std::u16string name, Stall& which) {
        ResetEvent(which.release.Get());
        which.met = false;
        which.name = std::move(name);
        stalls_[&which == &second ? 1 : 0] = &which;
    }
    void ReleaseAll() {
        first.Release();
        second.Release();
    }

    Stall first;
    Stall second;

  private:
    static void Opening(const std::u16string& path) {
        for (Stall* stall : stalls_) {
            if (stall != nullptr && path.ends_with(stall->name)) {
                stall->met = true;
                WaitForSingleObject(stall->release.Get(), 10000);
            }
        }
    }
    static inline std::array<Stall*, 2> stalls_{};
};

}  // namespace kiv::test

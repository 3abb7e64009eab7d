#pragma once

// A write that may be asked for every few seconds (the counts, at each
// saying), made at most once a minute: at once when the last was a minute
// ago or more, else by a window's timer, once, when the minute is up.
// Windows only.

#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

namespace kiv {

class LateWrite {
  public:
    static constexpr ULONGLONG kEveryMs = 60'000;

    // `write` writes; the timer `timer` of `window` makes a write that waited.
    void Attach(HWND window, UINT_PTR timer, std::function<void()> write) {
        window_ = window;
        timer_ = timer;
        write_ = std::move(write);
    }

    void Changed() {
        const ULONGLONG now = GetTickCount64();
        if (!last_ || now - *last_ >= kEveryMs) {
            last_ = now;
            write_();
            return;
        }
        if (!timerSet_ && window_ != nullptr) {
            timerSet_ = SetTimer(window_, timer_, static_cast<UINT>(kEveryMs - (now - *last_)),
                                 nullptr) != 0;
        }
    }
    // The next change is written at once: the player asked for it.
    void NextAtOnce() { last_.reset(); }

    // False for another timer.
    bool HandleTimer(WPARAM id) {
        if (id != timer_ || timer_ == 0) return false;
        KillTimer(window_, timer_);
        timerSet_ = false;
        last_ = GetTickCount64();
        write_();
        return true;
    }

  private:
    HWND window_ = nullptr;
    UINT_PTR timer_ = 0;
    std::function<void()> write_ = [] {};
    std::optional<ULONGLONG> last_;
    bool timerSet_ = false;
};

}  // namespace kiv

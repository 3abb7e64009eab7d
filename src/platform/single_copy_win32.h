#pragma once

// One copy of the tool per settings file (single_copy.h), through a named
// mutex in the session's namespace, held for the copy's life. Windows only.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/handle_win32.h"

namespace kiv {

// The settings file's path as the lock's name is made from it: full, with
// long names, letter case folded as Windows compares names.
std::u16string NormalisedPath(const std::u16string& path);

class SingleCopy {
  public:
    // How long a copy started by one that hands over (HandOver) waits for
    // it to end, and how long a second copy looks for the running one's
    // window (it may still be starting) or for its lock (it may be ending).
    static constexpr DWORD kHandOverWaitMs = 10000;
    static constexpr DWORD kLookForWindowMs = 5000;

    // This copy's hold on the settings file at `settingsPath`. Nothing when
    // another copy holds it: that one is brought forward (restored if
    // minimised), and this one is to end, having touched nothing; `stuck`
    // says when the other showed no window to bring forward.
    static std::optional<SingleCopy> Take(const std::u16string& settingsPath, bool& stuck);

    SingleCopy(SingleCopy&&) = default;
    SingleCopy& operator=(SingleCopy&&) = delete;
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;
    ~SingleCopy() { Release(); }

    // Marks `window` as this copy's, for a later start to bring forward;
    // the mark goes before the window does.
    void Mark(HWND window) const;
    void Unmark(HWND window) const;
    // Lets the settings file go, once this copy has written it for the last
    // time: a copy started now runs, though this process has yet to end.
    void Release();

  private:
    SingleCopy(UniqueHandle lock, std::u16string name)
        : lock_(std::move(lock)), name_(std::move(name)) {}

    UniqueHandle lock_;  // owned by the thread that took it
    std::u16string name_;
};

// While it lives, a copy started for the same settings file waits for this
// one to end instead of bringing it forward: around starting the copy that
// takes over as administrator, which finds this one's lock still held.
class HandOver {
  public:
    explicit HandOver(const std::u16string& settingsPath);
    // The new copy started: the hand-over lasts until this copy ends.
    void Keep();

  private:
    UniqueHandle event_;
};

}  // namespace kiv

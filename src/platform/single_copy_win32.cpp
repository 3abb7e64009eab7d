#include "platform/single_copy_win32.h"

#include <vector>

#include "platform/single_copy.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) return full.substr(0, length);
        full.resize(length);
    }
}

std::wstring LongPath(const std::wstring& path) {
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return path;
    std::wstring longer(length, L'\0');
    const DWORD got = GetLongPathNameW(path.c_str(), longer.data(), length);
    return got == 0 || got >= length ? path : longer.substr(0, got);
}

struct Found {
    const wchar_t* mark;
    HWND window;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM lParam) {
    auto* found = reinterpret_cast<Found*>(lParam);
    if (GetPropW(window, found->mark) == nullptr) return TRUE;
    found->window = window;
    return FALSE;
}

HWND MarkedWindow(const std::u16string& name) {
    Found found{Wide(name), nullptr};
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// Free, or left by a copy that ended without letting it go: this copy's.
bool Acquired(DWORD waited) {
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

// Started by the player, this copy holds the foreground and may pass it on.
// Asynchronous where it can be: a copy that hangs must not hold this one.
void BringForward(HWND window) {
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    // A dialog of its own, if one is up: the window is disabled under it.
    HWND popup = GetLastActivePopup(window);
    SetForegroundWindow(popup != nullptr ? popup : window);
}

}  // namespace

std::u16string NormalisedPath(const std::u16string& path) {
    std::wstring full = FullPath(Wide(path));
    for (wchar_t& c : full) {
        if (c == L'/') c = L'\\';
    }
    // Short names of the folders (the file itself may not be there yet).
    const std::size_t slash = full.rfind(L'\\');
    if (slash != std::wstring::npos && slash > 0) {
        full = LongPath(full.substr(0, slash)) + full.substr(slash);
    }
    std::wstring folded(full.size(), L'\0');
    if (!full.empty() &&
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.c_str(),
                      static_cast<int>(full.size()), folded.data(), static_cast<int>(folded.size()),
                      nullptr, nullptr, 0) == static_cast<int>(full.size())) {
        full = folded;
    }
    return {full.begin(), full.end()};
}

std::optional<SingleCopy> SingleCopy::Take(const std::u16string& settingsPath, bool& stuck) {
    stuck = false;
    std::u16string name = SingleCopyName(NormalisedPath(settingsPath));
    UniqueHandle lock(CreateMutexW(nullptr, FALSE, Wide(name)));
    if (!lock) {
        // A copy running as administrator holds a lock this one may not
        // open; else there is no lock to be had, and this copy runs as the
        // tool always did.
        if (GetLastError() != ERROR_ACCESS_DENIED) return SingleCopy({}, std::move(name));
        if (HWND window = MarkedWindow(name)) {
            BringForward(window);
        } else {
            stuck = true;
        }
        return std::nullopt;
    }
    if (Acquired(WaitForSingleObject(lock.Get(), 0))) return SingleCopy(std::move(lock), name);
    // Taking over from the copy that started this one: once it has let go.
    const UniqueHandle handOver(OpenEventW(SYNCHRONIZE, FALSE, Wide(HandOverName(name))));
    if (handOver && Acquired(WaitForSingleObject(lock.Get(), kHandOverWaitMs))) {
        return SingleCopy(std::move(lock), name);
    }
    // Another copy holds it: one still starting has no window yet, and one
    // ending lets go once its window is gone.
    const ULONGLONG until = GetTickCount64() + kLookForWindowMs;
    for (;;) {
        if (HWND window = MarkedWindow(name)) {
            BringForward(window);
            return std::nullopt;
        }
        if (Acquired(WaitForSingleObject(lock.Get(), 100))) {
            return SingleCopy(std::move(lock), name);
        }
        if (GetTickCount64() >= until) break;
    }
    stuck = true;
    return std::nullopt;
}

void SingleCopy::Mark(HWND window) const {
    SetPropW(window, Wide(name_), reinterpret_cast<HANDLE>(1));
}

void SingleCopy::Unmark(HWND window) const {
    RemovePropW(window, Wide(name_));
}

void SingleCopy::Release() {
    if (!lock_) return;
    ReleaseMutex(lock_.Get());
    lock_.Reset();
}

HandOver::HandOver(const std::u16string& settingsPath)
    : event_(CreateEventW(nullptr, TRUE, FALSE,
                          Wide(HandOverName(SingleCopyName(NormalisedPath(settingsPath)))))) {}

void HandOver::Keep() {
    // Closed by Windows as the process ends, not before: the new copy may
    // look for it only after the player answered the elevation prompt.
    static UniqueHandle kept;
    kept = std::move(event_);
}

}  // namespace kiv

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

// The running copy's window, once it has one: it may still be starting.
HWND RunningCopysWindow(const std::u16string& name) {
    const ULONGLONG until = GetTickCount64() + SingleCopy::kLookForWindowMs;
    for (;;) {
        Found found{Wide(name), nullptr};
        EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr || GetTickCount64() >= until) return found.window;
        Sleep(100);
    }
}

// Started by the player, this copy holds the foreground and may pass it on.
// Asynchronous where it can be: a copy that hangs must not hold this one.
void BringForward(HWND window) {
    if (window == nullptr) return;
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

std::optional<SingleCopy> SingleCopy::Take(const std::u16string& settingsPath) {
    std::u16string name = SingleCopyName(NormalisedPath(settingsPath));
    UniqueHandle lock(CreateMutexW(nullptr, TRUE, Wide(name)));
    const DWORD error = GetLastError();
    if (!lock) {
        // A copy running as administrator holds a lock this one may not open.
        if (error == ERROR_ACCESS_DENIED) {
            BringForward(RunningCopysWindow(name));
            return std::nullopt;
        }
        return SingleCopy(std::move(lock), std::move(name));  // no lock to be had: run
    }
    if (error != ERROR_ALREADY_EXISTS) return SingleCopy(std::move(lock), std::move(name));
    const UniqueHandle handOver(OpenEventW(SYNCHRONIZE, FALSE, Wide(HandOverName(name))));
    if (handOver) {
        // Taking over from the copy that started this one: once it has ended
        // (the lock then comes here, abandoned), this copy is the one.
        const DWORD waited = WaitForSingleObject(lock.Get(), kHandOverWaitMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            return SingleCopy(std::move(lock), std::move(name));
        }
    }
    BringForward(RunningCopysWindow(name));
    return std::nullopt;
}

void SingleCopy::Mark(HWND window) const {
    SetPropW(window, Wide(name_), reinterpret_cast<HANDLE>(1));
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

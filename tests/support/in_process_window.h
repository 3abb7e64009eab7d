#pragma once

// For tests that drive the tool's windows in their own process: the windows
// get messages only while the test's thread pumps, and a message box they open
// holds that thread until another thread answers it.

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace kiv::test {

// Serves this thread's windows until `done` holds; false on `timeout`.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The first visible window of `thread` that `wanted` accepts, or null.
inline BOOL CALLBACK AcceptVisible(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(data);
    if (!IsWindowVisible(window) || !(*search->first)(window)) return TRUE;
    search->second = window;
    return FALSE;
}
inline HWND VisibleWindowOf(DWORD thread, const std::function<bool(HWND)>& wanted) {
    std::pair<const std::function<bool(HWND)>*, HWND> search{&wanted, nullptr};
    EnumThreadWindows(thread, AcceptVisible, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The popup menu `thread` shows for `owner`, once it does (other programs'
// menu windows share its class). None within ten seconds: null, and the
// owner's menu mode ended, or the menu's loop would hold the test for good.
inline HWND ShownMenuOf(DWORD thread, HWND owner) {
    HWND found = nullptr;
    const auto menu = [](HWND window) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        return std::wstring(name) == L"#32768";
    };
    if (!PumpUntil([&] { return (found = VisibleWindowOf(thread, menu)) != nullptr; })) {
        PostMessageW(owner, WM_CANCELMODE, 0, 0);
    }
    return found;
}

inline std::wstring TextOf(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}
// The text of a dialog's control (a message box's text is its static 0xFFFF).
inline std::wstring TextIn(HWND dialog, int id) {
    wchar_t text[2048] = {};
    GetDlgItemTextW(dialog, id, text, 2048);
    return text;
}

// A hotkey field set as typing sets it: the key, then the field's EN_CHANGE.
inline void SetHotkeyField(HWND dialog, int id, WORD value) {
    SendDlgItemMessageW(dialog, id, HKM_SETHOTKEY, value, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Whether some program holds the key, as another program trying it finds.
inline bool HotkeyHeld(UINT modifiers, UINT key) {
    const bool free = RegisterHotKey(nullptr, 0xBFFF, modifiers, key);
    if (free) UnregisterHotKey(nullptr, 0xBFFF);
    return !free;
}

// A key held as another program holds it while the object lives, let go even
// when an assertion ends the test; Held() is false where the desktop has it.
class KeyHeldElsewhere {
  public:
    KeyHeldElsewhere(UINT modifiers, UINT key)
        : held_(RegisterHotKey(nullptr, kId, modifiers, key) != FALSE) {}
    ~KeyHeldElsewhere() {
        if (held_) UnregisterHotKey(nullptr, kId);
    }
    bool Held() const { return held_; }

  private:
    static constexpr int kId = 0xBFFE;
    bool held_;
};

// The text of the message box over `owner`, once `button` answered it; empty
// when none came within ten seconds.
inline std::wstring AnswerBoxOver(HWND owner, int button) {
    HWND box = nullptr;
    const auto owned = [&](HWND window) { return GetWindow(window, GW_OWNER) == owner; };
    const DWORD thread = GetWindowThreadProcessId(owner, nullptr);
    if (!PumpUntil([&] { return (box = VisibleWindowOf(thread, owned)) != nullptr; })) return L"";
    std::wstring text = TextIn(box, 0xFFFF);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return text;
}

// Hands the first dialog or box `thread` shows to `drive` on a thread of its
// own (the modal loop holds the test's); cancels what it leaves open.
class DialogDriver {
  public:
    DialogDriver(DWORD thread, std::function<void(HWND dialog)> drive)
        : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          worker_([this, thread, drive = std::move(drive)] { Run(thread, drive); }) {}
    ~DialogDriver() {
        SetEvent(stop_);
        worker_.join();
        CloseHandle(stop_);
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Waits (serving this thread's windows) until the drive is over.
    bool Drove(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return PumpUntil([this] { return drove_.load(); }, timeout);
    }

  private:
    void Run(DWORD thread, const std::function<void(HWND)>& drive) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        HWND dialog = nullptr;
        while (dialog == nullptr && WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT &&
               std::chrono::steady_clock::now() < deadline) {
            dialog = VisibleWindowOf(thread, [](HWND window) {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                return std::wstring(name) == L"#32770";
            });
        }
        if (dialog == nullptr) return;
        drive(dialog);
        drove_ = true;
        if (IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }

    HANDLE stop_;
    std::atomic<bool> drove_{false};
    std::thread worker_;
};

// Answers the first message box or dialog `thread` opens with `button`,
// keeping its text (a message box's, else the dialog's caption).
class ModalAnswerer {
  public:
    ModalAnswerer(DWORD thread, int button)
        : driver_(thread, [this, button](HWND box) {
              // A message box's text is there a moment after the box.
              PumpUntil(
                  [&] {
                      return GetDlgItem(box, 0xFFFF) == nullptr ||
                             !(text_ = TextIn(box, 0xFFFF)).empty();
                  },
                  std::chrono::seconds(1));
              if (text_.empty()) text_ = TextOf(box);
              PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
          }) {}

    // Waits (serving this thread's windows) until the box was answered.
    bool Answered(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return driver_.Drove(timeout);
    }
    const std::wstring& Text() const { return text_; }

  private:
    std::wstring text_;
    DialogDriver driver_;
};

}  // namespace kiv::test

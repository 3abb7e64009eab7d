#pragma once

// For tests that drive the tool's windows in their own process: the windows
// get their messages only while the test's thread pumps them, and a message
// box they open holds that thread until someone on another thread answers it.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace kiv::test {

// Serves this thread's windows until `done` holds; false when `timeout`
// passed first, so that a test never waits unbounded nor takes a timeout
// for an answer.
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

namespace owned {
struct Search {
    HWND owner;
    HWND found;
};
inline BOOL CALLBACK Match(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace owned

// The visible window of `owner`'s thread that `owner` owns (a message box
// over a dialog, say), or null.
inline HWND WindowOwnedBy(HWND owner) {
    owned::Search search{owner, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), owned::Match,
                      reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a dialog's control.
inline std::wstring TextIn(HWND dialog, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

// The message box opened over `owner`: its text, once `button` answered it;
// empty when none came within ten seconds.
inline std::wstring AnswerBoxOver(HWND owner, int button) {
    HWND box = nullptr;
    if (!PumpUntil([&] { return (box = WindowOwnedBy(owner)) != nullptr; })) return L"";
    std::wstring text = TextIn(box, 0xFFFF);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return text;
}

// Hands the first dialog or message box that a window of `thread` shows to
// `drive`, on a thread of its own since the dialog's modal loop holds the
// test's thread. What `drive` leaves open is cancelled, so that a test never
// hangs on it; it gives up after ten seconds.
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
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    void Run(DWORD thread, const std::function<void(HWND)>& drive) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        HWND dialog = nullptr;
        // Looks every 20 ms until the dialog is there, the test ends or time is up.
        while (dialog == nullptr && WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT &&
               std::chrono::steady_clock::now() < deadline) {
            EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
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

// Answers the first message box or dialog that a window of `thread` opens:
// keeps its text (a message box's, else the dialog's caption) and presses
// `button`.
class ModalAnswerer {
  public:
    ModalAnswerer(DWORD thread, int button)
        : driver_(thread, [this, button](HWND box) {
              wchar_t text[2048] = {};
              // A message box's text is its static 0xFFFF, there a moment after the box.
              for (int tries = 0; tries < 50 && GetDlgItem(box, 0xFFFF) != nullptr &&
                                  GetDlgItemTextW(box, 0xFFFF, text, 2048) == 0;
                   ++tries) {
                  WaitForSingleObject(GetCurrentThread(), 20);
              }
              if (text[0] == L'\0') GetWindowTextW(box, text, 2048);
              text_ = text;
              PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
          }) {}

    // Waits (serving this thread's windows) until the box was answered.
    bool Answered(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return driver_.Drove(timeout);
    }
    // What the box said; valid once Answered().
    const std::wstring& Text() const { return text_; }

  private:
    std::wstring text_;
    DialogDriver driver_;
};

}  // namespace kiv::test

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

// Answers the first message box or dialog that a window of `thread` opens:
// keeps its text (a message box's, else the dialog's caption) and presses
// `button`. Runs on a thread of its own, since the box's modal loop holds the
// test's thread; gives up after ten seconds.
class ModalAnswerer {
  public:
    ModalAnswerer(DWORD thread, int button)
        : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          worker_([this, thread, button] { Run(thread, button); }) {}
    ~ModalAnswerer() {
        SetEvent(stop_);
        worker_.join();
        CloseHandle(stop_);
    }
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Waits (pumping this thread) until the box was answered.
    bool Answered(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return PumpUntil([this] { return answered_.load(); }, timeout);
    }
    // What the box said; valid once Answered().
    const std::wstring& Text() const { return text_; }

  private:
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    void Run(DWORD thread, int button) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        // Looks every 20 ms until the box is there, the test ends or time is up.
        while (WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT &&
               std::chrono::steady_clock::now() < deadline) {
            HWND box = nullptr;
            EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&box));
            wchar_t text[2048] = {};
            // A message box's text is its static 0xFFFF, which exists a moment after the box.
            if (box != nullptr && (GetDlgItemTextW(box, 0xFFFF, text, 2048) > 0 ||
                                   GetDlgItem(box, 0xFFFF) == nullptr)) {
                if (text[0] == L'\0') GetWindowTextW(box, text, 2048);
                text_ = text;
                PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
                answered_ = true;
                return;
            }
        }
    }

    HANDLE stop_;
    std::atomic<bool> answered_{false};
    std::wstring text_;
    std::thread worker_;
};

// Hands the first dialog that a window of `thread` shows to `drive`, on a
// thread of its own since the dialog's modal loop holds the test's thread.
// What `drive` leaves open is cancelled, so that a test never hangs on it.
class DialogDriver {
  public:
    DialogDriver(DWORD thread, std::function<void(HWND dialog)> drive)
        : worker_([this, thread, drive = std::move(drive)] { Run(thread, drive); }) {}
    ~DialogDriver() { Drove(); }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Waits until the drive is over; false when no dialog came within ten seconds.
    bool Drove() {
        if (worker_.joinable()) worker_.join();
        return drove_;
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
        while (dialog == nullptr && std::chrono::steady_clock::now() < deadline) {
            Sleep(20);
            EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        }
        if (dialog == nullptr) return;
        drive(dialog);
        drove_ = true;
        if (IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }

    bool drove_ = false;
    std::thread worker_;
};

}  // namespace kiv::test

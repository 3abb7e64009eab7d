#include "platform/off_thread_win32.h"

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/handle_win32.h"

namespace kiv {
namespace {

// The window taken out of the user's reach while the work runs, and given
// back with its focus whatever happens: disabling a window whose child has
// the focus takes the focus away, and enabling it gives it no focus back.
class OutOfReach {
  public:
    explicit OutOfReach(HWND window)
        : window_(window), focus_(GetFocus()), wasEnabled_(EnableWindow(window, FALSE) == 0) {}
    ~OutOfReach() {
        if (!wasEnabled_) return;
        EnableWindow(window_, TRUE);
        if (focus_ != nullptr && IsWindow(focus_) && GetForegroundWindow() == window_) {
            SetFocus(focus_);
        }
    }
    OutOfReach(const OutOfReach&) = delete;
    OutOfReach& operator=(const OutOfReach&) = delete;

  private:
    HWND window_;
    HWND focus_;
    bool wasEnabled_;
};

}  // namespace

void RunServingMessages(HWND window, const std::function<void()>& work) {
    const UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        work();  // no event to wait on: on this thread, as before
        return;
    }
    std::exception_ptr thrown;
    const OutOfReach outOfReach(window);
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                work();
            } catch (...) {
                thrown = std::current_exception();
            }
            SetEvent(done.Get());
        });
    } catch (const std::system_error&) {
        work();  // no thread to be had: on this thread, as before
        return;
    }
    std::optional<WPARAM> quit;
    const HANDLE handle = done.Get();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = message.wParam;  // for the loop outside, once the work is done
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    worker.join();
    if (quit) PostQuitMessage(static_cast<int>(*quit));
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace kiv

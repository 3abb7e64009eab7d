#include "platform/off_thread_win32.h"

#include <exception>
#include <optional>
#include <thread>

#include "platform/win32_handle.h"

namespace kiv {

void RunServingMessages(HWND window, const std::function<void()>& work) {
    const UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        work();  // no event to wait on: on this thread, as before
        return;
    }
    std::exception_ptr thrown;
    const bool wasEnabled = EnableWindow(window, FALSE) == 0;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            thrown = std::current_exception();
        }
        SetEvent(done.Get());
    });
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
    if (wasEnabled) EnableWindow(window, TRUE);
    if (quit) PostQuitMessage(static_cast<int>(*quit));
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace kiv

#pragma once

// The part of the window system that delivery needs, in the terms of the ANSI
// Win32 functions: names and texts are CP932 bytes. Tests put a fake behind it.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

enum class WindowMessage : unsigned { SetText = 12, KeyDown = 256, KeyUp = 257 };

enum class SendResult {
    Delivered,
    NotAnswered,  // the window exists but did not process the message in time
    Refused,      // Windows would not pass it on: the window's program runs at a
                  // higher integrity level (as administrator) than ours
    Failed,       // the window is gone, or the call failed outright
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // A missing name (std::nullopt) matches every window name; an empty one
    // matches only windows whose name is empty.
    virtual WindowHandle FindTopLevel(std::string_view className,
                                      std::optional<std::string_view> windowName) = 0;
    // The next top-level window of that class and name after `after`, in the
    // order FindTopLevel takes them.
    virtual WindowHandle FindNextTopLevel(WindowHandle after, std::string_view className,
                                          std::optional<std::string_view> windowName) = 0;
    // Direct children only, searched from the first child on.
    virtual WindowHandle FindChild(WindowHandle parent, std::string_view className,
                                   std::optional<std::string_view> windowName) = 0;
    // 0 for a window that is gone.
    virtual std::uint32_t ProcessOf(WindowHandle window) = 0;
    // When the process started, in the system's 100-ns ticks; 0 where
    // Windows would not say (a process that keeps even that from others).
    virtual std::uint64_t StartTimeOf(std::uint32_t process) = 0;
    // Its title as the system keeps it (another program's window is not
    // asked, so a hung one cannot hold the caller); empty for one gone.
    virtual std::string TitleOf(WindowHandle window) = 0;
    // `text` is the zero-terminated lParam of WM_SETTEXT; null for the key messages.
    virtual SendResult Send(WindowHandle window, WindowMessage message, std::uintptr_t wParam,
                            const char* text) = 0;
    virtual bool IsMinimized(WindowHandle window) = 0;
    // Asks the window to come back from the taskbar, without waiting for it.
    virtual void Restore(WindowHandle window) = 0;
    virtual void BringToFront(WindowHandle window) = 0;
    virtual void Pause(std::chrono::milliseconds duration) = 0;
};

}  // namespace kiv

#pragma once

#include "platform/window_system.h"

namespace kiv {

// The real thing: user32's ANSI window functions.
class Win32WindowSystem final : public WindowSystem {
  public:
    // How long one message may wait for the client before it counts as hung.
    static constexpr std::chrono::milliseconds kDefaultReplyTimeout{5000};

    explicit Win32WindowSystem(std::chrono::milliseconds replyTimeout = kDefaultReplyTimeout)
        : replyTimeout_(replyTimeout) {}

    WindowHandle FindTopLevel(std::string_view className,
                              std::optional<std::string_view> windowName) override;
    WindowHandle FindNextTopLevel(WindowHandle after, std::string_view className,
                                  std::optional<std::string_view> windowName) override;
    WindowHandle FindChild(WindowHandle parent, std::string_view className,
                           std::optional<std::string_view> windowName) override;
    std::uint32_t ProcessOf(WindowHandle window) override;
    std::uint64_t StartTimeOf(std::uint32_t process) override;
    std::string TitleOf(WindowHandle window) override;
    SendResult Send(WindowHandle window, WindowMessage message, std::uintptr_t wParam,
                    const char* text) override;
    bool IsMinimized(WindowHandle window) override;
    void Restore(WindowHandle window) override;
    void BringToFront(WindowHandle window) override;
    void Pause(std::chrono::milliseconds duration) override;

  private:
    std::chrono::milliseconds replyTimeout_;
};

}  // namespace kiv

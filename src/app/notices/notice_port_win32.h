#pragma once

// Notices (notices.h) shown for the main window: message boxes over it, its
// taskbar button flashed while the user looks elsewhere. Windows only.

#include <windows.h>

#include <functional>

#include "app/notices/notices.h"

namespace kiv {

class WindowNoticePort final : public NoticePort {
  public:
    // What only the window knows and does.
    struct Window {
        HWND handle = nullptr;
        std::u16string programPath;
        std::u16string settingsPath;  // which copy of the tool this is
        std::function<bool()> busy;   // a macro is being delivered
        std::function<void()> saveSettings;
        std::function<void()> releaseHotkeys;
        std::function<void()> registerHotkeys;
        std::function<void()> close;
    };
    explicit WindowNoticePort(Window window) : window_(std::move(window)) {}

    bool CanAskNow() override;
    void FlashTaskbarButton() override;
    void Tell(const std::u16string& text) override;
    bool AskYesNo(const std::u16string& text) override;
    bool IsElevated() override;
    void SaveSettings() override { window_.saveSettings(); }
    void ReleaseHotkeys() override { window_.releaseHotkeys(); }
    void RegisterHotkeysAgain() override { window_.registerHotkeys(); }
    Relaunch RelaunchAsAdministrator(std::u16string& reason) override;
    void CloseWindow() override { window_.close(); }

  private:
    Window window_;
};

}  // namespace kiv

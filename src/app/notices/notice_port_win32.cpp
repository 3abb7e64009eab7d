#include "app/notices/notice_port_win32.h"

#include "app/common/tool_name.h"
#include "platform/owned_window_win32.h"
#include "platform/shell_win32.h"
#include "platform/single_copy_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace kiv {

bool WindowNoticePort::CanAskNow() {
    // Not under a dialog or message box of the tool's own (it disables the
    // window), nor while a delivery holds the thread.
    return GetForegroundWindow() == window_.handle && IsWindowEnabled(window_.handle) &&
           !window_.busy();
}

void WindowNoticePort::FlashTaskbarButton() {
    FLASHWINFO flash{sizeof flash, window_.handle, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void WindowNoticePort::Tell(const std::u16string& text) {
    MessageBoxOverOwner(window_.handle, Wide(text), kToolCaption, MB_OK | MB_ICONWARNING);
}

bool WindowNoticePort::AskYesNo(const std::u16string& text) {
    return MessageBoxOverOwner(window_.handle, Wide(text), kToolCaption,
                               MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool WindowNoticePort::IsElevated() {
    return kiv::IsElevated();
}

Relaunch WindowNoticePort::RelaunchAsAdministrator(std::u16string& reason) {
    // The new copy finds this one's lock on the settings file still held:
    // told so, it waits for this one to end instead of ending itself.
    HandOver handOver(window_.settingsPath);
    DWORD error = 0;
    const Relaunch result =
        kiv::RelaunchAsAdministrator(window_.handle, window_.programPath, error);
    if (result == Relaunch::Started) handOver.Keep();
    if (result == Relaunch::Failed) reason = SystemErrorText(error);
    return result;
}

}  // namespace kiv

#pragma once

// What the tool has to tell, for its main window: told at once where the user
// is looking at the tool, otherwise kept (its taskbar button flashing) until
// the user next brings it forward. Never a box over the game. Windows only.

#include <windows.h>

#include <optional>
#include <string>

#include "app/notices/notice_port_win32.h"
#include "app/notices/notices.h"

namespace kiv {

class NoticeBoard {
  public:
    // Once the window exists: `showMessage` is posted to it when notices
    // wait, and is to be answered with ShowWhenLooking.
    void Attach(WindowNoticePort::Window window, UINT showMessage);

    // Kept, and shown once the command that brought it has ended: a question
    // asked in the middle of one (to run again as administrator, say) could
    // end the window under it.
    void Notify(Notice notice);
    // Forgets the one of that kind: what it said no longer holds.
    void Drop(NoticeKind kind) { pending_.Drop(kind); }
    // What waits for the user to look, oldest first.
    const std::deque<Notice>& Waiting() const { return pending_.Waiting(); }
    // The user may be looking now (the window was activated): what waits is
    // shown after the activation is done, not inside it.
    void UserMayLook();
    void ShowWhenLooking();

    // At once where the user is looking at the tool; otherwise kept. After a
    // drop Explorer is in front, and a box from behind would stay there,
    // unseen, with the window disabled under it.
    void Tell(const std::u16string& text);
    // An error of a command the user just gave in the tool's window.
    void ShowError(const std::u16string& text) const;
    // A question about a command the user just gave in the tool's window.
    bool AskYesNo(const std::u16string& text) const;

  private:
    HWND window_ = nullptr;
    UINT showMessage_ = 0;
    PendingNotices pending_;
    std::optional<WindowNoticePort> port_;
    bool showing_ = false;
};

}  // namespace kiv

#include "app/notices/notice_board_win32.h"

#include "app/common/tool_name.h"
#include "platform/owned_window_win32.h"
#include "platform/wide_text.h"

namespace kiv {

void NoticeBoard::Attach(WindowNoticePort::Window window, UINT showMessage) {
    window_ = window.handle;
    showMessage_ = showMessage;
    port_.emplace(std::move(window));
}

void NoticeBoard::Notify(Notice notice) {
    pending_.Add(std::move(notice));
    PostMessageW(window_, showMessage_, 0, 0);
}

void NoticeBoard::UserMayLook() {
    if (!pending_.Empty()) PostMessageW(window_, showMessage_, 0, 0);
}

void NoticeBoard::ShowWhenLooking() {
    // A message box's own loop may bring the activation that asks again.
    if (showing_ || !port_) return;
    showing_ = true;
    pending_.ShowWhenLooking(*port_);
    showing_ = false;
}

void NoticeBoard::Tell(const std::u16string& text) {
    if (GetForegroundWindow() == window_) {
        ShowError(text);
    } else {
        Notify({NoticeKind::Problem, text});
    }
}

void NoticeBoard::ShowError(const std::u16string& text) const {
    MessageBoxOverOwner(window_, Wide(text), kToolCaption, MB_OK | MB_ICONERROR);
}

bool NoticeBoard::AskYesNo(const std::u16string& text) const {
    return MessageBoxOverOwner(window_, Wide(text), kToolCaption, MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

}  // namespace kiv

#include "macro/macro.h"

#include "macro/line_preparation.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

constexpr std::chrono::milliseconds kPauseAfterLine{50};
constexpr std::uintptr_t kEnterKey = 13;  // VK_RETURN

// The game client's window names, in the code page the ANSI functions take.
struct ClientWindowNames {
    std::string logClass = ToAnsi(u"KivMsgLogWindow");
    std::string logName = ToAnsi(u"メッセージログウィンドウ");
    std::string editClass = ToAnsi(u"Edit");
    std::string mainClass = ToAnsi(u"KIVCLI");
};

const ClientWindowNames& Names() {
    static const ClientWindowNames names;
    return names;
}

WindowHandle FindChatEdit(WindowSystem& windows) {
    const WindowHandle log = windows.FindTopLevel(Names().logClass, Names().logName);
    if (log == kNoWindow) return kNoWindow;
    return windows.FindChild(log, Names().editClass, std::string_view{});
}

WindowHandle FindClientWindow(WindowSystem& windows) {
    return windows.FindTopLevel(Names().mainClass, std::nullopt);
}

// Sends one chat line; false when the client stopped answering, so that the
// rest of the message is not queued up behind a hung window.
bool DeliverLine(WindowSystem& windows, WindowHandle edit, const std::u16string& line) {
    const std::string text = ToAnsi(line);
    const bool answered =
        windows.Send(edit, WindowMessage::SetText, 0, text.c_str()) != SendResult::NotAnswered &&
        windows.Send(edit, WindowMessage::KeyDown, kEnterKey, nullptr) != SendResult::NotAnswered &&
        windows.Send(edit, WindowMessage::KeyUp, kEnterKey, nullptr) != SendResult::NotAnswered;
    if (answered) windows.Pause(kPauseAfterLine);
    return answered;
}

}  // namespace

bool Macro::Execute(WindowSystem& windows, const Clock& clock) const {
    if (const WindowHandle edit = FindChatEdit(windows); edit != kNoWindow) {
        for (const std::u16string_view line : SplitMessage(message_)) {
            const std::u16string text = PrepareLine(line, clock);
            if (text.empty()) continue;
            if (!DeliverLine(windows, edit, text)) break;
        }
    }
    if (const WindowHandle client = FindClientWindow(windows); client != kNoWindow) {
        windows.BringToFront(client);
    }
    return false;
}

}  // namespace kiv

#include "macro/delivery.h"

#include <optional>

#include "macro/line_preparation.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

constexpr std::chrono::milliseconds kPauseAfterLine{50};
constexpr std::uintptr_t kEnterKey = 13;  // VK_RETURN
// However many client windows there are, the search for the right one ends.
constexpr int kMostClientWindows = 256;

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

// The first client main window, or the one of `process` when there is one.
WindowHandle FindClientWindow(WindowSystem& windows, std::optional<std::uint32_t> process) {
    const WindowHandle first = windows.FindTopLevel(Names().mainClass, std::nullopt);
    if (first == kNoWindow || !process || windows.ProcessOf(first) == *process) return first;
    WindowHandle next = first;
    for (int i = 0; i < kMostClientWindows; ++i) {
        next = windows.FindNextTopLevel(next, Names().mainClass, std::nullopt);
        if (next == kNoWindow) break;
        if (windows.ProcessOf(next) == *process) return next;
    }
    return first;
}

// Sends one chat line: its text, then Enter pressed and released. Stops at the
// first message the client does not take, so that nothing is queued up behind
// a hung or unreachable window.
SendResult DeliverLine(WindowSystem& windows, WindowHandle edit, const std::u16string& line) {
    const std::string text = ToAnsi(line);
    SendResult result = windows.Send(edit, WindowMessage::SetText, 0, text.c_str());
    if (result == SendResult::Delivered || result == SendResult::Failed) {
        result = windows.Send(edit, WindowMessage::KeyDown, kEnterKey, nullptr);
    }
    if (result == SendResult::Delivered || result == SendResult::Failed) {
        result = windows.Send(edit, WindowMessage::KeyUp, kEnterKey, nullptr);
    }
    // A window that went away is passed over like any failed call: the pause
    // and the next line still come.
    if (result == SendResult::Delivered || result == SendResult::Failed) {
        windows.Pause(kPauseAfterLine);
    }
    return result;
}

}  // namespace

DeliveryOutcome Deliver(const Macro& macro, WindowSystem& windows, const Clock& clock) {
    DeliveryOutcome outcome = DeliveryOutcome::NoClient;
    std::optional<std::uint32_t> receiver;  // the process whose chat input took a line
    const WindowHandle log = windows.FindTopLevel(Names().logClass, Names().logName);
    const WindowHandle edit = log == kNoWindow
                                  ? kNoWindow
                                  : windows.FindChild(log, Names().editClass, std::string_view{});
    if (edit != kNoWindow) {
        outcome = DeliveryOutcome::Delivered;
        for (const std::u16string_view line : SplitMessage(macro.Message())) {
            const std::u16string text = PrepareLine(line, clock);
            if (text.empty()) continue;
            const SendResult result = DeliverLine(windows, edit, text);
            if (result == SendResult::NotAnswered) {
                outcome = DeliveryOutcome::NotAnswering;
                break;
            }
            if (result == SendResult::Refused) {
                outcome = DeliveryOutcome::Refused;
                break;
            }
            if (result == SendResult::Failed) {
                outcome = DeliveryOutcome::NoClient;
            } else if (!receiver) {
                receiver = windows.ProcessOf(log);
            }
        }
    }
    // A game Windows keeps the tool from is not brought forward either: the
    // user is about to be asked what to do, and a full-screen game would only
    // flicker between the two.
    if (outcome == DeliveryOutcome::Refused) return outcome;
    if (const WindowHandle client = FindClientWindow(windows, receiver); client != kNoWindow) {
        if (windows.IsMinimized(client)) windows.Restore(client);
        windows.BringToFront(client);
    }
    return outcome;
}

}  // namespace kiv

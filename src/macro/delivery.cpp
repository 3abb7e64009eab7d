#include "macro/delivery.h"

#include <optional>

#include "macro/line_preparation.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

constexpr std::chrono::milliseconds kPauseAfterLine{50};
constexpr std::uintptr_t kEnterKey = 13;  // VK_RETURN

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

DeliveryOutcome Deliver(const Macro& macro, WindowSystem& windows, const Clock& clock,
                        ClientTarget& target) {
    ClientTarget::Pick pick = target.Take(FindGameClients(windows));
    if (pick.chosenExited) return DeliveryOutcome::ChosenExited;
    DeliveryOutcome outcome = DeliveryOutcome::NoClient;
    const WindowHandle log = pick.client ? pick.client->log : kNoWindow;
    const WindowHandle edit =
        log == kNoWindow ? kNoWindow
                         : windows.FindChild(log, ClientNames().editClass, std::string_view{});
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
            if (result == SendResult::Failed) outcome = DeliveryOutcome::NoClient;
        }
    }
    // A game Windows keeps the tool from is not brought forward either: the
    // user is about to be asked what to do, and a full-screen game would only
    // flicker between the two.
    if (outcome == DeliveryOutcome::Refused) return outcome;
    if (const WindowHandle client = pick.client ? pick.client->main : kNoWindow;
        client != kNoWindow) {
        if (windows.IsMinimized(client)) windows.Restore(client);
        windows.BringToFront(client);
    }
    return outcome;
}

}  // namespace kiv

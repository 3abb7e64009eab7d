#include "macro/delivery.h"

#include <optional>

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

DeliveryReport Deliver(const Macro& macro, WindowSystem& windows, FillContext& context,
                       ClientTarget& target) {
    ClientTarget::Pick pick = target.Take(FindGameClients(windows));
    if (pick.chosenExited) return {DeliveryOutcome::ChosenExited, {}};
    return DeliverTo(macro, windows, context, pick.client);
}

DeliveryReport DeliverTo(const Macro& macro, WindowSystem& windows, FillContext& context,
                         const std::optional<GameClient>& to) {
    DeliveryReport report;
    const WindowHandle log = to ? to->log : kNoWindow;
    const WindowHandle edit =
        log == kNoWindow ? kNoWindow
                         : windows.FindChild(log, ClientNames().editClass, std::string_view{});
    if (edit != kNoWindow) report.outcome = DeliveryOutcome::Delivered;
    bool stopped = edit == kNoWindow;
    const std::vector<std::u16string_view> lines = SplitMessage(macro.Message());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SaidLine said{i + 1, FillLine(lines[i], context), LineFate::NotSent};
        if (said.text.empty()) continue;
        if (!stopped) {
            const SendResult result = DeliverLine(windows, edit, said.text);
            if (result == SendResult::Delivered) said.fate = LineFate::Sent;
            if (result == SendResult::NotAnswered) {
                said.fate = LineFate::MayHaveGone;
                report.outcome = DeliveryOutcome::NotAnswering;
                stopped = true;
            }
            if (result == SendResult::Refused) {
                report.outcome = DeliveryOutcome::Refused;
                stopped = true;
            }
            if (result == SendResult::Failed) report.outcome = DeliveryOutcome::NoClient;
        }
        report.lines.push_back(std::move(said));
    }
    // A game Windows keeps the tool from is not brought forward either: the
    // user is about to be asked what to do, and a full-screen game would only
    // flicker between the two. Nor one that stopped answering: the player
    // would be left in front of a frozen game, the tool's word behind it.
    if (report.outcome == DeliveryOutcome::Refused ||
        report.outcome == DeliveryOutcome::NotAnswering) {
        return report;
    }
    if (const WindowHandle client = to ? to->main : kNoWindow; client != kNoWindow) {
        if (windows.IsMinimized(client)) windows.Restore(client);
        windows.BringToFront(client);
    }
    return report;
}

}  // namespace kiv

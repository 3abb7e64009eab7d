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

DeliveryReport Deliver(const Macro& macro, WindowSystem& windows, FillContext& context,
                       ClientTarget& target) {
    ClientTarget::Pick pick = target.Take(FindGameClients(windows));
    if (pick.chosenExited) return {DeliveryOutcome::ChosenExited, {}};
    return DeliverTo(macro, windows, context, pick.client);
}

Delivery::Delivery(const Macro& macro, WindowSystem& windows, FillContext context,
                   std::optional<GameClient> to)
    : windows_(windows),
      context_(std::move(context)),
      to_(std::move(to)),
      message_(macro.Message()) {
    lines_ = ChatLinesOf(message_);
}

bool Delivery::FirstLineSent() const {
    return !report_.lines.empty() && report_.lines.front().fate == LineFate::Sent;
}

std::optional<std::chrono::milliseconds> Delivery::Go() {
    if (!started_) {
        started_ = true;
        const WindowHandle log = to_ ? to_->log : kNoWindow;
        edit_ = log == kNoWindow
                    ? kNoWindow
                    : windows_.FindChild(log, ClientNames().editClass, std::string_view{});
        if (edit_ != kNoWindow) report_.outcome = DeliveryOutcome::Delivered;
        stopped_ = edit_ == kNoWindow;
    }
    std::chrono::milliseconds pending{0};
    for (; next_ < lines_.size(); ++next_) {
        const ChatLine& line = lines_[next_];
        // A wait on a line with nothing to send waits before the next that has.
        pending += line.wait;
        if (line.text.empty()) continue;
        if (!stopped_ && !waited_ && pending > std::chrono::milliseconds{0}) {
            // The wait stands in for the pause after the line before.
            const std::chrono::milliseconds rest =
                pending - (lineSent_ ? kPauseAfterLine : std::chrono::milliseconds{0});
            waited_ = true;
            if (rest > std::chrono::milliseconds{0}) {
                BringForward();
                return rest;
            }
        }
        waited_ = false;
        pending = std::chrono::milliseconds{0};
        SaidLine said{line.number, FillLine(line.text, context_), LineFate::NotSent};
        if (said.text.empty()) continue;
        if (!stopped_) {
            const SendResult result = DeliverLine(windows_, edit_, said.text);
            lineSent_ = true;
            if (result == SendResult::Delivered) said.fate = LineFate::Sent;
            if (result == SendResult::NotAnswered) {
                said.fate = LineFate::MayHaveGone;
                report_.outcome = DeliveryOutcome::NotAnswering;
                stopped_ = true;
            }
            if (result == SendResult::Refused) {
                report_.outcome = DeliveryOutcome::Refused;
                stopped_ = true;
            }
            if (result == SendResult::Failed) report_.outcome = DeliveryOutcome::NoClient;
        }
        report_.lines.push_back(std::move(said));
    }
    BringForward();
    return std::nullopt;
}

void Delivery::LetRestGo() {
    for (; next_ < lines_.size(); ++next_) {
        const ChatLine& line = lines_[next_];
        if (!line.text.empty()) {
            report_.lines.push_back({line.number, std::u16string(line.text), LineFate::NotSent});
        }
    }
    report_.outcome = DeliveryOutcome::Withdrawn;
}

// A game Windows keeps the tool from is not brought forward either: the user
// is about to be asked what to do, and a full-screen game would only flicker
// between the two. Nor one that stopped answering: the player would be left
// in front of a frozen game, the tool's word behind it.
void Delivery::BringForward() {
    if (broughtForward_ || report_.outcome == DeliveryOutcome::Refused ||
        report_.outcome == DeliveryOutcome::NotAnswering) {
        return;
    }
    broughtForward_ = true;
    if (const WindowHandle client = to_ ? to_->main : kNoWindow; client != kNoWindow) {
        if (windows_.IsMinimized(client)) windows_.Restore(client);
        windows_.BringToFront(client);
    }
}

DeliveryReport DeliverTo(const Macro& macro, WindowSystem& windows, FillContext& context,
                         const std::optional<GameClient>& to) {
    Delivery delivery(macro, windows, context, to);
    while (const std::optional<std::chrono::milliseconds> wait = delivery.Go()) {
        windows.Pause(*wait);
    }
    return delivery.Report();
}

}  // namespace kiv

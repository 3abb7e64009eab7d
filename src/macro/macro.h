#pragma once

#include <string>

#include "macro/time_of_day.h"
#include "platform/window_system.h"

namespace kiv {

// What became of one delivery.
enum class DeliveryOutcome {
    Delivered,     // every line went out (none, for an empty message)
    NoClient,      // no chat input to type into, or it went away on the way
    NotAnswering,  // the client stopped answering; the rest was not sent
    Refused,       // Windows refused the messages (the client runs as
                   // administrator); the rest was not sent
};

// One prepared chat line set: the title the list shows and the message that is
// typed into the game client.
class Macro {
  public:
    Macro() = default;
    Macro(std::u16string message, std::u16string title)
        : message_(std::move(message)), title_(std::move(title)) {}

    const std::u16string& Message() const { return message_; }
    void SetMessage(std::u16string newMessage) { message_ = std::move(newMessage); }
    const std::u16string& Title() const { return title_; }
    void SetTitle(std::u16string newTitle) { title_ = std::move(newTitle); }

    // Types the message into the game client's chat input, one line at a time
    // with Enter and a pause after each, then brings the client to the front
    // (restored first when minimised): the client whose chat input got the
    // lines when several run, else the first one found; not when Windows
    // refused the messages. Finding no client is not an error: nothing is sent.
    DeliveryOutcome Execute(WindowSystem& windows, const Clock& clock) const;

    friend bool operator==(const Macro&, const Macro&) = default;

  private:
    std::u16string message_;
    std::u16string title_;
};

}  // namespace kiv

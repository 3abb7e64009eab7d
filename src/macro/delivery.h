#pragma once

// Saying a macro to the game: its chat lines typed into the client's chat
// input through the window system, then the client brought to the front.
// Portable: the window system is an interface (window_system.h).

#include <optional>
#include <string>
#include <vector>

#include "macro/game_clients.h"
#include "macro/line_preparation.h"
#include "macro/macro.h"
#include "platform/window_system.h"

namespace kiv {

// What became of one delivery.
enum class DeliveryOutcome {
    Delivered,        // every line went out (none, for an empty message)
    NoClient,         // no chat input to type into, or it went away on the way
    NotAnswering,     // the client stopped answering; the rest was not sent
    Refused,          // Windows refused the messages (the client runs as
                      // administrator); the rest was not sent
    ChosenExited,     // the client the player chose has exited: nothing was
                      // sent, and the target is automatic again
    TabClientNotOne,  // no client, or more than one, has the title the macro's
                      // tab sends to: nothing was sent
    Withdrawn,        // the player cancelled a question the macro asks, or a
                      // saying cancelled the rest while it waited
};

// What became of one line of the macro, for telling the player of a macro
// the client stopped answering in: one who saw a line arrive and says the
// macro again says that line twice in public chat.
enum class LineFate {
    Sent,         // its text and its Enter went, each answered
    MayHaveGone,  // the client stopped answering on it: a message that timed
                  // out may still be handled when the client wakes
    NotSent,      // nothing of it was sent
};
struct SaidLine {
    std::size_t number = 0;  // its place in the macro, from 1
    std::u16string text;     // as the game gets it (the time for "<now>")
    LineFate fate = LineFate::NotSent;
    friend bool operator==(const SaidLine&, const SaidLine&) = default;
};
struct DeliveryReport {
    DeliveryOutcome outcome = DeliveryOutcome::NoClient;
    std::vector<SaidLine> lines;  // the macro's lines that have text, in order
};

// One macro's delivery, a line at a time. Before a line with a <wait.N> it
// stops, so that the caller can answer the player meanwhile, and then goes on
// to the same client; or the rest is let go.
class Delivery {
  public:
    Delivery(const Macro& macro, WindowSystem& windows, FillContext context,
             std::optional<GameClient> to);
    // Its lines look into its own copy of the message.
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    // Sends the lines up to the next wait: how long to wait before going on;
    // none once every line went or was let go. The client comes to the front
    // when the first wait begins, or at the end.
    std::optional<std::chrono::milliseconds> Go();
    // The lines not sent yet are not sent.
    void LetRestGo();

    const DeliveryReport& Report() const { return report_; }
    // Its first line with text went out, every message of it answered.
    bool FirstLineSent() const;

  private:
    void BringForward();

    WindowSystem& windows_;
    FillContext context_;
    std::optional<GameClient> to_;
    std::u16string message_;
    std::vector<ChatLine> lines_;  // views into message_
    std::size_t next_ = 0;
    bool started_ = false;
    WindowHandle edit_ = kNoWindow;
    bool stopped_ = false;   // nothing more is sent
    bool lineSent_ = false;  // a line went just before: its pause was made
    bool waited_ = false;    // the wait before lines_[next_] is over
    bool broughtForward_ = false;
    DeliveryReport report_;
};

// Types the message into the target client's own chat input (game_clients.h),
// one line at a time with Enter and a pause after each, then brings that
// client to the front (restored first when minimised); not when Windows
// refused the messages, nor when the client stopped answering. Finding no
// client is not an error: nothing is sent. Nothing is ever sent again.
DeliveryReport Deliver(const Macro& macro, WindowSystem& windows, FillContext& context,
                       ClientTarget& target);
// The same to the client `to` (nothing: none runs), whatever the target is.
DeliveryReport DeliverTo(const Macro& macro, WindowSystem& windows, FillContext& context,
                         const std::optional<GameClient>& to);

}  // namespace kiv

#pragma once

// Saying a macro to the game: its chat lines typed into the client's chat
// input through the window system, then the client brought to the front.
// Portable: the window system is an interface (window_system.h).

#include "macro/game_clients.h"
#include "macro/macro.h"
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
    ChosenExited,  // the client the player chose has exited: nothing was
                   // sent, and the target is automatic again
};

// Types the message into the target client's own chat input (game_clients.h),
// one line at a time with Enter and a pause after each, then brings that
// client to the front (restored first when minimised); not when Windows
// refused the messages. Finding no client is not an error: nothing is sent.
DeliveryOutcome Deliver(const Macro& macro, WindowSystem& windows, const Clock& clock,
                        ClientTarget& target);

}  // namespace kiv

#pragma once

// The game clients running now, and which one a macro goes to when several
// run. A client is a process that owns a client main window or a
// message-log window; its chat input is its own log window's. Unless the
// player chose one, a macro goes to the one they used last: the last to hold
// the foreground, as the window system reports it, else the one whose main
// window is highest in the z-order, the order the window searches take.
// Portable: the window system is an interface (window_system.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/window_system.h"

namespace kiv {

struct GameClient {
    std::uint32_t process = 0;
    WindowHandle main = kNoWindow;  // none while it shows only its log window
    WindowHandle log = kNoWindow;   // none while it shows only its main window
    std::string title;              // the main window's, in CP932 as the ANSI functions give it
};

// The game client's window names, in the code page the ANSI functions take.
struct ClientWindowNames {
    std::string logClass;
    std::string logName;
    std::string editClass;
    std::string mainClass;
};
const ClientWindowNames& ClientNames();

// Every client, highest main window first, then those showing only a log
// window, in the order theirs are found. A process counts once, by its
// highest window.
std::vector<GameClient> FindGameClients(WindowSystem& windows);

// The clients in the order the player picks from, which their use does not
// change: by title (letter case aside), then process id.
std::vector<GameClient> InNameOrder(std::vector<GameClient> clients);

// Where the next macro goes: automatically (the client used last), or to the
// one the player chose, until it exits.
class ClientTarget {
  public:
    std::optional<std::uint32_t> Chosen() const { return chosen_; }
    // The chosen one's title as it was chosen, for telling the player it
    // exited; empty for automatic.
    const std::string& ChosenTitle() const { return chosenTitle_; }
    // A process, with its title for telling the player it exited; nothing
    // for automatic.
    void Choose(std::optional<std::uint32_t> process, std::string title = {}) {
        chosen_ = process;
        chosenTitle_ = std::move(title);
    }

    // A client's window came to the foreground: it is the one used last.
    // Windows puts a minimised window at the bottom of the z-order, so the
    // z-order alone would take another client for it.
    void Used(std::uint32_t process) { usedLast_ = process; }

    // The client a macro goes to now, of `running` (FindGameClients): the
    // chosen one, else the one used last while it runs, else the first.
    // Nothing when none runs, or when the chosen one has exited: then the
    // target is automatic again, and the caller tells the player that
    // nothing was sent.
    struct Pick {
        std::optional<GameClient> client;
        bool chosenExited = false;
    };
    Pick Take(const std::vector<GameClient>& running);
    // The client the last Take gave, for naming it to the player.
    const std::optional<GameClient>& LastTaken() const { return lastTaken_; }

    // The chosen client gone from `running`: the target is automatic again,
    // and the caller tells the player.
    bool ForgetIfExited(const std::vector<GameClient>& running);

    // Chooses the client after the current target in InNameOrder, wrapping;
    // nothing when none runs.
    std::optional<GameClient> ChooseNext(const std::vector<GameClient>& running);

    // At start-up: the client whose title was remembered, if one runs.
    void ChooseRemembered(std::string_view title, const std::vector<GameClient>& running);

  private:
    // The automatic pick, of clients that run.
    const GameClient& Automatic(const std::vector<GameClient>& running) const;

    std::optional<std::uint32_t> chosen_;
    std::string chosenTitle_;
    std::optional<std::uint32_t> usedLast_;
    std::optional<GameClient> lastTaken_;
};

}  // namespace kiv

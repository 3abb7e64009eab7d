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
    // When its process started, in the system's 100-ns ticks; 0 where
    // Windows would not say. Windows gives an ended process's id to a later
    // one: the id alone is no client.
    std::uint64_t started = 0;
    // Its place, from 1, in the order the clients of its title running with
    // it started, for naming it; 0 when none other has its title.
    std::size_t startOrder = 0;
};

// Whether `a` and `b` are one client: one process id and one start; where
// Windows would not say when one started, one main window or one log window
// (a window's handle goes to no other window while it exists).
bool SameClient(const GameClient& a, const GameClient& b);

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
// highest window. Clients of one title are numbered by their start.
std::vector<GameClient> FindGameClients(WindowSystem& windows);

// The clients in the order the player picks from, which their use does not
// change: by title (letter case aside), then by start, then process id.
std::vector<GameClient> InNameOrder(std::vector<GameClient> clients);

// Where the next macro goes: automatically (the client used last), or to the
// one the player chose, until it exits. The title of the one chosen is
// remembered (in the settings, for the next start); it stays when its client
// exits, and a client of that title that appears later becomes the target,
// unless another client has that title too.
// The running clients whose title is `title` (as written, CP932): a tab's
// client is the one of them, never a guess among several.
std::vector<GameClient> ClientsTitled(const std::vector<GameClient>& running,
                                      std::string_view title);

class ClientTarget {
  public:
    // The chosen client as it was last seen running; nothing for automatic.
    const std::optional<GameClient>& Chosen() const { return chosen_; }
    // The player chose a client (nothing: automatic): its title is
    // remembered, or none for automatic.
    void Choose(std::optional<GameClient> client);
    const std::string& Remembered() const { return remembered_; }
    // At start-up: the title remembered, applied to a client of it running now.
    void Remember(std::string title, const std::vector<GameClient>& running);
    // Whether the remembered title waits unapplied because more than one
    // client of `running` has it, nothing being chosen.
    bool RememberedShared(const std::vector<GameClient>& running) const;

    // A client's window came to the foreground: it is the one used last.
    // Windows puts a minimised window at the bottom of the z-order, so the
    // z-order alone would take another client for it.
    void Used(const GameClient& client) { usedLast_ = client; }

    // The clients running now, as the target is asked of them: the chosen
    // one gone is forgotten, and the caller tells the player (true), even
    // when a later process has its id; a client of the remembered title
    // that appeared since the last look becomes the target unless another
    // has that title, also in place of the one gone.
    bool Look(const std::vector<GameClient>& running);

    // The client a macro goes to now, of `running` (FindGameClients), after
    // a look: the chosen one, else the one used last while it runs, else the
    // first. Nothing when none runs, or when the chosen one has exited: then
    // the target is automatic again, and the caller tells the player that
    // nothing was sent.
    struct Pick {
        std::optional<GameClient> client;
        bool chosenExited = false;
    };
    Pick Take(const std::vector<GameClient>& running);
    // The client the last Take gave, for naming it to the player.
    const std::optional<GameClient>& LastTaken() const { return lastTaken_; }

    // Chooses the client after the current target in InNameOrder, wrapping;
    // nothing when none runs.
    std::optional<GameClient> ChooseNext(const std::vector<GameClient>& running);

  private:
    // The automatic pick, of clients that run.
    const GameClient& Automatic(const std::vector<GameClient>& running) const;
    // The one running client of the remembered title becomes the target.
    void ApplyRemembered(const std::vector<GameClient>& running);

    std::optional<GameClient> chosen_;
    std::string remembered_;
    std::vector<GameClient> seen_;  // the clients running at the last look
    std::optional<GameClient> usedLast_;
    std::optional<GameClient> lastTaken_;
};

}  // namespace kiv

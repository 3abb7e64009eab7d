#include "macro/game_clients.h"

#include <algorithm>
#include <tuple>

#include "platform/ansi_text.h"
#include "platform/case_fold.h"

namespace kiv {
namespace {

// However many windows the clients have, a search ends.
constexpr int kMostClientWindows = 256;

// Each window of that class and name, in the z-order the searches take.
template <typename Visit>
void EachTopLevel(WindowSystem& windows, std::string_view className,
                  std::optional<std::string_view> windowName, Visit visit) {
    WindowHandle window = windows.FindTopLevel(className, windowName);
    for (int i = 0; i < kMostClientWindows && window != kNoWindow; ++i) {
        visit(window);
        window = windows.FindNextTopLevel(window, className, windowName);
    }
}

template <typename Clients>
auto FindProcess(Clients& clients, std::uint32_t process) {
    return std::find_if(clients.begin(), clients.end(),
                        [process](const GameClient& client) { return client.process == process; });
}

auto FindSame(const std::vector<GameClient>& clients, const GameClient& client) {
    return std::find_if(clients.begin(), clients.end(),
                        [&client](const GameClient& other) { return SameClient(other, client); });
}

// Where a start is unknown, after those known, by process id.
auto StartKey(const GameClient& client) {
    return std::tuple(client.started == 0, client.started, client.process);
}

// Each client of a title another has too, numbered in the order they started.
void NumberNamesakes(std::vector<GameClient>& clients) {
    for (GameClient& client : clients) {
        std::size_t earlier = 0;
        bool shared = false;
        for (const GameClient& other : clients) {
            if (&other == &client || other.title != client.title) continue;
            shared = true;
            if (StartKey(other) < StartKey(client)) ++earlier;
        }
        client.startOrder = shared ? earlier + 1 : 0;
    }
}

}  // namespace

const ClientWindowNames& ClientNames() {
    static const ClientWindowNames names{ToAnsi(u"KivMsgLogWindow"),
                                         ToAnsi(u"メッセージログウィンドウ"), ToAnsi(u"Edit"),
                                         ToAnsi(u"KIVCLI")};
    return names;
}

std::vector<GameClient> FindGameClients(WindowSystem& windows) {
    std::vector<GameClient> clients;
    const auto of = [&clients](std::uint32_t process) { return FindProcess(clients, process); };
    EachTopLevel(windows, ClientNames().mainClass, std::nullopt, [&](WindowHandle main) {
        const std::uint32_t process = windows.ProcessOf(main);
        if (process != 0 && of(process) == clients.end()) {
            clients.push_back({process, main, kNoWindow, windows.TitleOf(main)});
        }
    });
    EachTopLevel(windows, ClientNames().logClass, ClientNames().logName, [&](WindowHandle log) {
        const std::uint32_t process = windows.ProcessOf(log);
        if (process == 0) return;
        const auto client = of(process);
        if (client == clients.end()) {
            clients.push_back({process, kNoWindow, log, {}});
        } else if (client->log == kNoWindow) {
            client->log = log;
        }
    });
    for (GameClient& client : clients) client.started = windows.StartTimeOf(client.process);
    NumberNamesakes(clients);
    return clients;
}

bool SameClient(const GameClient& a, const GameClient& b) {
    if (a.process != b.process) return false;
    if (a.started != 0 && b.started != 0) return a.started == b.started;
    return (a.main != kNoWindow && a.main == b.main) || (a.log != kNoWindow && a.log == b.log);
}

std::vector<GameClient> InNameOrder(std::vector<GameClient> clients) {
    // As a player reads titles: letter case aside, then as written. A menu's
    // few clients: the titles are folded at each comparison.
    const auto key = [](const GameClient& client) {
        return std::tuple(FoldCase(FromAnsi(client.title)), client.title, client.startOrder,
                          client.process);
    };
    std::sort(clients.begin(), clients.end(),
              [&key](const GameClient& a, const GameClient& b) { return key(a) < key(b); });
    return clients;
}

const GameClient& ClientTarget::Automatic(const std::vector<GameClient>& running) const {
    const auto used = usedLast_ ? FindSame(running, *usedLast_) : running.end();
    return used != running.end() ? *used : running.front();
}

void ClientTarget::Choose(std::optional<GameClient> client) {
    remembered_ = client ? client->title : std::string();
    chosen_ = std::move(client);
}

void ClientTarget::Remember(std::string title, const std::vector<GameClient>& running) {
    remembered_ = std::move(title);
    if (!chosen_) ApplyRemembered(running);
    seen_ = running;
}

void ClientTarget::ApplyRemembered(const std::vector<GameClient>& running) {
    if (remembered_.empty()) return;
    const GameClient* only = nullptr;
    for (const GameClient& client : running) {
        if (client.title != remembered_) continue;
        if (only != nullptr) return;
        only = &client;
    }
    if (only != nullptr) chosen_ = *only;
}

bool ClientTarget::RememberedShared(const std::vector<GameClient>& running) const {
    return !chosen_ && !remembered_.empty() &&
           std::count_if(running.begin(), running.end(), [this](const GameClient& client) {
               return client.title == remembered_;
           }) > 1;
}

bool ClientTarget::Look(const std::vector<GameClient>& running) {
    bool exited = false;
    if (chosen_) {
        const auto now = FindSame(running, *chosen_);
        if (now != running.end()) {
            chosen_ = *now;  // named as it runs now
            seen_ = running;
            return false;
        }
        chosen_.reset();
        exited = true;
    }
    // Also as the chosen one is found gone: the player is told then where
    // the next macro goes.
    if (!remembered_.empty() &&
        std::any_of(running.begin(), running.end(), [this](const GameClient& client) {
            return client.title == remembered_ && FindSame(seen_, client) == seen_.end();
        })) {
        ApplyRemembered(running);
    }
    seen_ = running;
    return exited;
}

ClientTarget::Pick ClientTarget::Take(const std::vector<GameClient>& running) {
    Pick pick;
    if (Look(running)) {
        pick.chosenExited = true;
    } else if (chosen_) {
        pick.client = chosen_;
    } else if (!running.empty()) {
        pick.client = Automatic(running);
    }
    lastTaken_ = pick.client;
    return pick;
}

std::optional<GameClient> ClientTarget::ChooseNext(const std::vector<GameClient>& running) {
    if (running.empty()) return std::nullopt;
    const std::vector<GameClient> order = InNameOrder(running);
    // From 自動, the client the next macro would have gone to.
    auto at = FindSame(order, chosen_.value_or(Automatic(running)));
    at = at == order.end() || at + 1 == order.end() ? order.begin() : at + 1;
    Choose(*at);
    return *at;
}

std::vector<GameClient> ClientsTitled(const std::vector<GameClient>& running,
                                      std::string_view title) {
    std::vector<GameClient> titled;
    for (const GameClient& client : running) {
        if (client.title == title) titled.push_back(client);
    }
    return titled;
}

}  // namespace kiv

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
    return clients;
}

std::vector<GameClient> InNameOrder(std::vector<GameClient> clients) {
    // As a player reads titles: letter case aside, then as written. A menu's
    // few clients: the titles are folded at each comparison.
    const auto key = [](const GameClient& client) {
        return std::tuple(FoldCase(FromAnsi(client.title)), client.title, client.process);
    };
    std::sort(clients.begin(), clients.end(),
              [&key](const GameClient& a, const GameClient& b) { return key(a) < key(b); });
    return clients;
}

const GameClient& ClientTarget::Automatic(const std::vector<GameClient>& running) const {
    const auto used = usedLast_ ? FindProcess(running, *usedLast_) : running.end();
    return used != running.end() ? *used : running.front();
}

bool ClientTarget::ForgetIfExited(const std::vector<GameClient>& running) {
    if (!chosen_ || FindProcess(running, *chosen_) != running.end()) return false;
    Choose(std::nullopt);
    return true;
}

ClientTarget::Pick ClientTarget::Take(const std::vector<GameClient>& running) {
    Pick pick;
    if (ForgetIfExited(running)) {
        pick.chosenExited = true;
    } else if (chosen_) {
        pick.client = *FindProcess(running, *chosen_);
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
    const std::uint32_t current = chosen_.value_or(Automatic(running).process);
    auto at = FindProcess(order, current);
    at = at == order.end() || at + 1 == order.end() ? order.begin() : at + 1;
    Choose(at->process, at->title);
    return *at;
}

void ClientTarget::ChooseRemembered(std::string_view title,
                                    const std::vector<GameClient>& running) {
    const auto client = std::find_if(running.begin(), running.end(),
                                     [title](const GameClient& c) { return c.title == title; });
    if (client != running.end()) Choose(client->process, client->title);
}

}  // namespace kiv

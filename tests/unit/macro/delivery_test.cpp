// A message's delivery through a fake window system that records every call in order.

#include "macro/delivery.h"
#include "macro/macro.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace kiv {
namespace {

// CP932 bytes of the client's window names, spelled out so a wrong conversion cannot hide.
const std::string kLogName =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x83\x8d\x83\x4f\x83\x45\x83\x42\x83\x93\x83\x68\x83"
    "\x45";

// How the clients' windows behave. A log window's chat input is the log's
// handle plus 6 (log 2: input 8).
struct Client {
    // Main windows and log windows (handle, process) in z-order, highest first.
    std::vector<std::pair<WindowHandle, std::uint32_t>> mainWindows = {{1, 10}};
    std::vector<std::pair<WindowHandle, std::uint32_t>> logWindows = {{2, 10}};
    std::vector<SendResult> results = {};  // for the sends in order; Delivered after them
    bool minimized = false;
    std::map<WindowHandle, std::string> titles = {};  // "main" and the handle for the rest
    // When each process started (0: Windows would not say); its id for the rest.
    std::map<std::uint32_t, std::uint64_t> starts = {};
};

// Records what was done to the clients' windows and the searches that start
// (the steps along a search and the questions asked of a window are not listed).
class FakeWindows final : public WindowSystem {
  public:
    explicit FakeWindows(const Client& client) : client_(client) {}
    std::vector<std::string> calls;

    WindowHandle FindTopLevel(std::string_view cls, std::optional<std::string_view> name) override {
        calls.push_back("top " + Named(cls, name));
        const auto* windows = Of(cls, name);
        return windows != nullptr && !windows->empty() ? windows->front().first : kNoWindow;
    }
    WindowHandle FindNextTopLevel(WindowHandle after, std::string_view cls,
                                  std::optional<std::string_view> name) override {
        const auto* windows = Of(cls, name);
        for (std::size_t i = 0; windows != nullptr && i + 1 < windows->size(); ++i) {
            if ((*windows)[i].first == after) return (*windows)[i + 1].first;
        }
        return kNoWindow;
    }
    WindowHandle FindChild(WindowHandle parent, std::string_view cls,
                           std::optional<std::string_view> name) override {
        calls.push_back("child " + std::to_string(parent) + " " + Named(cls, name));
        return parent + 6;
    }
    std::uint32_t ProcessOf(WindowHandle window) override {
        for (const auto* windows : {&client_.mainWindows, &client_.logWindows}) {
            for (const auto& [handle, process] : *windows) {
                if (handle == window) return process;
            }
        }
        return 0;
    }
    std::uint64_t StartTimeOf(std::uint32_t process) override {
        const auto start = client_.starts.find(process);
        return start != client_.starts.end() ? start->second : process;
    }
    std::string TitleOf(WindowHandle window) override {
        const auto title = client_.titles.find(window);
        return title != client_.titles.end() ? title->second : "main" + std::to_string(window);
    }
    SendResult Send(WindowHandle window, WindowMessage message, std::uintptr_t wParam,
                    const char* text) override {
        calls.push_back("send " + std::to_string(window) + " " +
                        std::to_string(static_cast<unsigned>(message)) + " " +
                        std::to_string(wParam) + (text ? " " + std::string(text) : ""));
        const std::size_t call = sends_++;
        return call < client_.results.size() ? client_.results[call] : SendResult::Delivered;
    }
    bool IsMinimized(WindowHandle) override { return client_.minimized; }
    void Restore(WindowHandle window) override { Record("restore", window); }
    void BringToFront(WindowHandle window) override { Record("front", window); }
    void Pause(std::chrono::milliseconds duration) override { Record("pause", duration.count()); }

  private:
    const std::vector<std::pair<WindowHandle, std::uint32_t>>* Of(
        std::string_view cls, std::optional<std::string_view> name) const {
        if (cls == "KIVCLI" && !name) return &client_.mainWindows;
        if (cls == "KivMsgLogWindow" && name == kLogName) return &client_.logWindows;
        return nullptr;
    }
    static std::string Named(std::string_view cls, std::optional<std::string_view> name) {
        return std::string(cls) + "|" + std::string(name.value_or("null"));
    }
    void Record(const char* what, std::uint64_t number) {
        calls.push_back(what + (" " + std::to_string(number)));
    }

    const Client& client_;
    std::size_t sends_ = 0;
};

// A client by its process, started when FakeWindows says by default.
GameClient ProcessOnly(std::uint32_t process) {
    GameClient client;
    client.process = process;
    client.started = process;
    return client;
}

using Calls = std::vector<std::string>;

const Calls kSearch = {"top KIVCLI|null", "top KivMsgLogWindow|" + kLogName};
const Calls kFind = {kSearch[0], kSearch[1], "child 2 Edit|"};
const Calls kFront = {"front 1"};

Calls Line(const std::string& text, WindowHandle input = 8) {
    const std::string to = "send " + std::to_string(input);
    return {to + " 12 0 " + text, to + " 256 13", to + " 257 13", "pause 50"};
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The calls a message makes, by how the clients' windows behave and which
// one the player chose.
TEST(Delivery, SendsTheLinesToTheTargetClientsChatInputAndBringsItForward) {
    using enum DeliveryOutcome;
    using R = SendResult;
    const Client two{.mainWindows = {{1, 30}, {3, 10}}, .logWindows = {{2, 10}, {4, 30}}};
    Client twoMinimized = two;
    twoMinimized.minimized = true;
    const struct {
        const char* name;
        std::u16string message;
        DeliveryOutcome outcome;
        Calls calls;
        Client client = {};
        std::optional<std::uint32_t> chosen = {};
    } cases[] = {
        {"each line with Enter and a pause, then the client forward: CP932, and the time",
         u"表示\\n<now>", Delivered,
         Join({kFind, Line("\x95\x5c\x8e\xa6"), Line("21:30:00"), kFront})},
        {"empty lines cost neither messages nor pauses", u"\\n\\nX", Delivered,
         Join({kFind, Line("X"), kFront})},
        {"no log window: nothing is sent, the client still comes forward", u"A\\nB", NoClient,
         Join({kSearch, kFront}), Client{.logWindows = {}}},
        {"no main window: the lines still go", u"A", Delivered, Join({kFind, Line("A")}),
         Client{.mainWindows = {}}},
        {"a wait stands in for the pause after the line before; the client comes forward once, "
         "as the first wait begins",
         u"A\\n<wait.2>B\\n<wait.0.1>C", Delivered,
         Join({kFind, Line("A"), kFront, {"pause 1950"}, Line("B"), {"pause 50"}, Line("C")})},
        {"waits on lines with nothing add up before the next line", u"<wait.1>\\n<wait.0.5>A",
         Delivered, Join({kFind, kFront, {"pause 1500"}, Line("A")})},
        {"a hung client is not waited for", u"A\\n<wait.5>B", NotAnswering,
         Join({kFind, {"send 8 12 0 A"}}), Client{.results = {R::NotAnswered}}},
        // Sends that fail stop the message, or not, by why they failed.
        {"a hung client ends the message, left behind", u"A\\nB\\nC", NotAnswering,
         Join({kFind, Line("A"), {"send 8 12 0 B", "send 8 256 13"}}),
         Client{
             .results = {R::Delivered, R::Delivered, R::Delivered, R::Delivered, R::NotAnswered}}},
        {"a refused message ends at once, the game left behind: the user is asked first", u"A\\nB",
         Refused, Join({kFind, {"send 8 12 0 A"}}), Client{.results = {R::Refused}}},
        {"a chat input that went away is passed over line by line", u"A\\nB", NoClient,
         Join({kFind, Line("A"), Line("B"), kFront}), Client{.results = std::vector(6, R::Failed)}},
        // Several clients: one, and its own chat input, whatever the
        // order of the log windows.
        {"the client used last, though the other's log window comes first", u"A", Delivered,
         Join({kSearch, {"child 4 Edit|"}, Line("A", 10), kFront}), two},
        {"the chosen client, restored", u"A", Delivered,
         Join({kSearch, {"child 2 Edit|"}, Line("A"), {"restore 3", "front 3"}}), twoMinimized, 10},
        {"the chosen client exited: nothing is sent, nothing comes forward", u"A", ChosenExited,
         kSearch, two, 99},
        {"a client showing only its main window gets nothing and comes forward", u"A", NoClient,
         Join({kSearch, kFront}), Client{.mainWindows = {{1, 30}, {3, 10}}}},
    };
    FillContext clock{[] { return TimeOfDay{21, 30, 0}; }};
    for (const auto& c : cases) {
        FakeWindows windows(c.client);
        ClientTarget target;
        if (c.chosen) target.Choose(ProcessOnly(*c.chosen));
        EXPECT_EQ(Deliver(Macro(c.message, u"title"), windows, clock, target).outcome, c.outcome)
            << c.name;
        EXPECT_EQ(windows.calls, c.calls) << c.name;
        EXPECT_EQ(target.Chosen() ? std::optional(target.Chosen()->process) : std::nullopt,
                  c.outcome == ChosenExited ? std::nullopt : c.chosen)
            << c.name;
    }
}

// What the player is told became of each line with text, by where the
// client stopped answering or Windows refused; the lines keep their places
// in the macro.
TEST(Delivery, ReportsWhichLinesWentWhichMayHaveGoneAndWhichDidNot) {
    using enum LineFate;
    using R = SendResult;
    const struct {
        const char* name;
        std::vector<SendResult> results;
        std::vector<SaidLine> lines;
    } cases[] = {
        {"all went", {}, {{1, u"A", Sent}, {3, u"C", Sent}}},
        {"no answer to the second's text",
         {R::Delivered, R::Delivered, R::Delivered, R::NotAnswered},
         {{1, u"A", Sent}, {3, u"C", MayHaveGone}}},
        {"no answer to the first's Enter let go",
         {R::Delivered, R::Delivered, R::NotAnswered},
         {{1, u"A", MayHaveGone}, {3, u"C", NotSent}}},
        {"refused", {R::Refused}, {{1, u"A", NotSent}, {3, u"C", NotSent}}},
    };
    for (const auto& c : cases) {
        const Client client{.results = c.results};
        FakeWindows windows(client);
        ClientTarget target;
        FillContext clock{[] { return TimeOfDay{}; }};
        EXPECT_EQ(Deliver(Macro(u"A\\n\\nC", u"t"), windows, clock, target).lines, c.lines)
            << c.name;
    }
}

// A wait hands the time back to the caller: a line's time is read as it goes
// out, and the rest may be let go, told as not sent.
TEST(Delivery, GoesOnAfterEachWaitOrLetsTheRestGo) {
    const Client client;
    FakeWindows windows(client);
    int reads = 0;
    FillContext context{.clock = [&reads] {
        ++reads;
        return TimeOfDay{1, 2, 3};
    }};
    GameClient to = ProcessOnly(10);
    to.main = 1;
    to.log = 2;
    Delivery delivery(Macro(u"A\\n<wait.1><now>\\n<wait.3>C", u"t"), windows, context, to);
    EXPECT_EQ(delivery.Go(), std::chrono::milliseconds{950});
    EXPECT_TRUE(delivery.FirstLineSent());
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(delivery.Go(), std::chrono::milliseconds{2950});
    EXPECT_EQ(reads, 1);
    delivery.LetRestGo();
    using enum LineFate;
    EXPECT_EQ(delivery.Report().outcome, DeliveryOutcome::Withdrawn);
    EXPECT_EQ(delivery.Report().lines,
              (std::vector<SaidLine>{{1, u"A", Sent}, {2, u"01:02:03", Sent}, {3, u"C", NotSent}}));
    EXPECT_EQ(windows.calls, Join({{"child 2 Edit|"}, Line("A"), kFront, Line("01:02:03")}));
}

// Which client each target rule picks, of three running.
TEST(ClientTarget, CyclesInTitleOrderWrapsAndRemembersByTitle) {
    const Client three{.mainWindows = {{5, 50}, {1, 30}, {3, 40}},
                       .logWindows = {{2, 30}, {7, 50}, {9, 35}, {11, 50}}};
    FakeWindows windows(three);
    const std::vector<GameClient> running = FindGameClients(windows);
    std::vector<std::tuple<std::uint32_t, WindowHandle, WindowHandle, std::string>> found;
    found.reserve(running.size());
    for (const GameClient& c : running) found.emplace_back(c.process, c.main, c.log, c.title);
    EXPECT_EQ(found,
              (decltype(found){
                  {50, 5, 7, "main5"}, {30, 1, 2, "main1"}, {40, 3, 0, "main3"}, {35, 0, 9, ""}}))
        << "highest main window first, then those with a log window only; each once, by its "
           "highest windows";

    ClientTarget target;
    std::vector<std::uint32_t> cycled;
    cycled.reserve(5);
    for (int press = 0; press < 5; ++press) cycled.push_back(target.ChooseNext(running)->process);
    // Titles in order: "" (35), main1 (30), main3 (40), main5 (50). From
    // 自動, whose pick is main5, the next wraps to the first.
    EXPECT_EQ(cycled, (std::vector<std::uint32_t>{35, 30, 40, 50, 35}));
    EXPECT_EQ(ClientTarget().ChooseNext({}), std::nullopt);
    std::vector<std::uint32_t> named;
    named.reserve(4);
    for (const GameClient& c : InNameOrder({{1, 0, 0, "Beta", 0, 2},
                                            {2, 0, 0, "alpha"},
                                            {3, 0, 0, "ALPHA"},
                                            {4, 0, 0, "Beta", 0, 1}})) {
        named.push_back(c.process);
    }
    EXPECT_EQ(named, (std::vector<std::uint32_t>{3, 2, 4, 1}))
        << "letter case aside, then as written, then by start";

    ClientTarget used;
    used.Used(ProcessOnly(30));
    EXPECT_EQ(used.Take(running).client->process, 30u) << "used last, though lower in the z-order";
    EXPECT_EQ(used.ChooseNext(running)->process, 40u) << "on from the one used last";
    used.Choose(std::nullopt);
    used.Used(ProcessOnly(99));
    EXPECT_EQ(used.Take(running).client->process, 50u) << "the one used last gone: the highest";

    ClientTarget remembered;
    remembered.Remember("main3", running);
    EXPECT_EQ(remembered.Chosen()->process, 40u) << "at start-up, of the clients running";
}

// A client is its process and that process's start: Windows gives an ended
// process's id to a later one. Where Windows would not say when one started,
// its window tells. Clients of one title are numbered by their start; the
// title remembered goes to a client of it that appears, unless two have it.
TEST(ClientTarget, FollowsAProcessByItsStartAndTheRememberedTitleToAClientThatAppears) {
    Client game{.mainWindows = {{1, 10}, {3, 20}, {5, 30}},
                .logWindows = {},
                .titles = {{1, "kiv"}, {3, "kiv"}},
                .starts = {{10, 500}, {20, 400}}};
    FakeWindows windows(game);
    const auto running = [&] { return FindGameClients(windows); };
    std::vector<std::pair<std::uint32_t, std::size_t>> orders;
    for (const GameClient& c : running()) orders.emplace_back(c.process, c.startOrder);
    EXPECT_EQ(orders, (decltype(orders){{10, 2}, {20, 1}, {30, 0}}))
        << "by their start, not by id or z-order; a title of its own unnumbered";

    ClientTarget target;
    target.Used(running().back());  // the other game, where no choice takes the macro
    target.Remember("kiv", running());
    EXPECT_EQ(target.Chosen(), std::nullopt) << "two have the title: automatic";
    EXPECT_TRUE(target.RememberedShared(running()));
    target.Choose(running()[0]);
    EXPECT_FALSE(target.RememberedShared(running())) << "one is chosen";
    game.starts[10] = 900;  // ended, and its id given to a later client
    EXPECT_TRUE(target.Take(running()).chosenExited) << "though its id came back";
    EXPECT_EQ(target.Remembered(), "kiv") << "only this run's choice is gone";
    EXPECT_EQ(target.Take(running()).client->process, 30u) << "automatic";
    EXPECT_TRUE(target.RememberedShared(running())) << "the later one shares the title";
    game.mainWindows.erase(game.mainWindows.begin() + 1);  // 20 ends: one left, seen before
    EXPECT_EQ(target.Take(running()).client->process, 30u);
    EXPECT_FALSE(target.RememberedShared(running())) << "the menu says nothing of two";
    game.mainWindows.emplace_back(7, 40);
    game.titles[7] = "kiv";
    EXPECT_EQ(target.Take(running()).client->process, 30u) << "appeared, but two have the title";
    game.mainWindows.erase(game.mainWindows.begin());  // 10 ends
    game.mainWindows.emplace_back(9, 50);
    game.titles[9] = "other";
    EXPECT_EQ(target.Take(running()).client->process, 30u) << "none of the title appeared";
    game.mainWindows.erase(game.mainWindows.end() - 2);  // 40 ends
    game.mainWindows.emplace_back(11, 60);
    game.titles[11] = "kiv";
    EXPECT_EQ(target.Take(running()).client->process, 60u) << "appeared, alone with the title";

    game.starts[60] = 0;  // Windows would not say: its window tells
    target.Choose(running().back());
    EXPECT_FALSE(target.Take(running()).chosenExited);
    game.mainWindows.back().first = 13;
    game.titles[13] = "kiv";
    EXPECT_TRUE(target.Take(running()).chosenExited) << "another window of that id";
    EXPECT_EQ(target.Chosen()->main, 13u) << "it appeared meanwhile, of the title: told so";
    game.logWindows = {{15, 70}};  // showing only its log window, its start unknown
    game.starts[70] = 0;
    target.Choose(running().back());
    EXPECT_FALSE(target.Take(running()).chosenExited) << "its log window tells";
}

}  // namespace
}  // namespace kiv

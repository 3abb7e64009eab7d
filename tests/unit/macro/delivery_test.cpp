// A message's delivery through a fake window system that records every call in order.

#include "macro/delivery.h"
#include "macro/macro.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kiv {
namespace {

// CP932 bytes of the client's window names, spelled out so a wrong conversion cannot hide.
const std::string kLogName =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x83\x8d\x83\x4f\x83\x45\x83\x42\x83\x93\x83\x68\x83"
    "\x45";

// How the client's windows behave. Its chat input is window 8.
struct Client {
    bool logWindow = true;
    // Main windows (handle, process) in search order; the log window is process 10's.
    std::vector<std::pair<WindowHandle, std::uint32_t>> mainWindows = {{1, 10}};
    std::vector<SendResult> results = {};  // for the sends in order; Delivered after them
    bool minimized = false;
};

// Records what was done to the client's windows (queries are not listed).
class FakeWindows final : public WindowSystem {
  public:
    explicit FakeWindows(const Client& client) : client_(client) {}
    std::vector<std::string> calls;

    WindowHandle FindTopLevel(std::string_view cls, std::optional<std::string_view> name) override {
        calls.push_back("top " + Named(cls, name));
        if (cls == "KivMsgLogWindow" && name == kLogName && client_.logWindow) return 2;
        const auto& mains = client_.mainWindows;
        return cls == "KIVCLI" && !name && !mains.empty() ? mains.front().first : kNoWindow;
    }
    WindowHandle FindNextTopLevel(WindowHandle after, std::string_view cls,
                                  std::optional<std::string_view> name) override {
        const auto& mains = client_.mainWindows;
        for (std::size_t i = 0; cls == "KIVCLI" && !name && i + 1 < mains.size(); ++i) {
            if (mains[i].first == after) return mains[i + 1].first;
        }
        return kNoWindow;
    }
    WindowHandle FindChild(WindowHandle parent, std::string_view cls,
                           std::optional<std::string_view> name) override {
        calls.push_back("child " + std::to_string(parent) + " " + Named(cls, name));
        return 8;
    }
    std::uint32_t ProcessOf(WindowHandle window) override {
        for (const auto& [handle, process] : client_.mainWindows) {
            if (handle == window) return process;
        }
        return window == 2 ? 10 : 0;
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
    static std::string Named(std::string_view cls, std::optional<std::string_view> name) {
        return std::string(cls) + "|" + std::string(name.value_or("null"));
    }
    void Record(const char* what, std::uint64_t number) {
        calls.push_back(what + (" " + std::to_string(number)));
    }

    const Client& client_;
    std::size_t sends_ = 0;
};

using Calls = std::vector<std::string>;

const Calls kFind = {"top KivMsgLogWindow|" + kLogName, "child 2 Edit|"};
const Calls kFront = {"top KIVCLI|null", "front 1"};

Calls Line(const std::string& text) {
    return {"send 8 12 0 " + text, "send 8 256 13", "send 8 257 13", "pause 50"};
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The calls a message makes, by how the client's windows behave.
TEST(Delivery, SendsTheLinesToTheChatInputAndBringsTheClientForward) {
    using enum DeliveryOutcome;
    using R = SendResult;
    const std::tuple<const char*, Client, std::u16string, DeliveryOutcome, Calls> cases[] = {
        {"each line with Enter and a pause, then the client forward", Client{}, u"A\\nB", Delivered,
         Join({kFind, Line("A"), Line("B"), kFront})},
        {"CP932, and the time", Client{}, u"表示\\n<now>", Delivered,
         Join({kFind, Line("\x95\x5c\x8e\xa6"), Line("21:30:00"), kFront})},
        {"empty lines cost neither messages nor pauses", Client{}, u"\\n\\nX", Delivered,
         Join({kFind, Line("X"), kFront})},
        {"no log window: nothing is sent, the client still comes forward",
         Client{.logWindow = false}, u"A\\nB", NoClient, Join({{kFind[0]}, kFront})},
        {"no main window: the lines still go", Client{.mainWindows = {}}, u"A", Delivered,
         Join({kFind, Line("A"), {"top KIVCLI|null"}})},
        // Sends that fail stop the message, or not, by why they failed.
        {"a hung client ends the message",
         Client{
             .results = {R::Delivered, R::Delivered, R::Delivered, R::Delivered, R::NotAnswered}},
         u"A\\nB\\nC", NotAnswering,
         Join({kFind, Line("A"), {"send 8 12 0 B", "send 8 256 13"}, kFront})},
        {"a refused message ends at once, the game left behind: the user is asked first",
         Client{.results = {R::Refused}}, u"A\\nB", Refused, Join({kFind, {"send 8 12 0 A"}})},
        {"a chat input that went away is passed over line by line",
         Client{.results = std::vector(6, R::Failed)}, u"A\\nB", NoClient,
         Join({kFind, Line("A"), Line("B"), kFront})},
        {"the client that got the lines comes forward restored",
         Client{.mainWindows = {{1, 30}, {3, 10}, {5, 10}}, .minimized = true}, u"A", Delivered,
         Join({kFind, Line("A"), {"top KIVCLI|null", "restore 3", "front 3"}})},
        {"nothing sent: the first client, as ever",
         Client{.mainWindows = {{1, 30}, {3, 10}, {5, 10}}}, u"", Delivered, Join({kFind, kFront})},
        {"no client of the log window's process: the first",
         Client{.mainWindows = {{1, 30}, {3, 40}}}, u"A", Delivered,
         Join({kFind, Line("A"), kFront})},
    };
    const Clock clock = [] { return TimeOfDay{21, 30, 0}; };
    for (const auto& [name, client, message, outcome, calls] : cases) {
        FakeWindows windows(client);
        EXPECT_EQ(Deliver(Macro(message, u"title"), windows, clock), outcome) << name;
        EXPECT_EQ(windows.calls, calls) << name;
    }
}

}  // namespace
}  // namespace kiv

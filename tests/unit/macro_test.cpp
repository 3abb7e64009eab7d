// A message's delivery through a fake window system that records every call in order.

#include "macro/macro.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

// CP932 bytes of the client's window names, spelled out so that a wrong
// conversion cannot hide behind itself.
const std::string kLogName =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x83\x8d\x83\x4f\x83\x45\x83\x42\x83\x93\x83\x68\x83"
    "\x45";

// How the client's windows behave; records what was done (queries are not
// listed). Its chat input is window 8.
class FakeWindows final : public WindowSystem {
  public:
    bool logWindow = true;
    // Client main windows (handle, process) in search order; the log window is process 10's.
    std::vector<std::pair<WindowHandle, std::uint32_t>> mainWindows = {{1, 10}};
    std::vector<SendResult> results;  // for the sends in order; Delivered after them
    bool minimized = false;
    std::vector<std::string> calls;

    WindowHandle FindTopLevel(std::string_view cls, std::optional<std::string_view> name) override {
        calls.push_back("top " + std::string(cls) + (name ? "|" + std::string(*name) : "|null"));
        if (cls == "KivMsgLogWindow" && name == kLogName && logWindow) return 2;
        if (cls == "KIVCLI" && !name && !mainWindows.empty()) return mainWindows.front().first;
        return kNoWindow;
    }
    WindowHandle FindNextTopLevel(WindowHandle after, std::string_view cls,
                                  std::optional<std::string_view> name) override {
        if (cls != "KIVCLI" || name) return kNoWindow;
        for (std::size_t i = 0; i + 1 < mainWindows.size(); ++i) {
            if (mainWindows[i].first == after) return mainWindows[i + 1].first;
        }
        return kNoWindow;
    }
    WindowHandle FindChild(WindowHandle parent, std::string_view cls,
                           std::optional<std::string_view> name) override {
        calls.push_back("child " + std::to_string(parent) + " " + std::string(cls) +
                        (name ? "|" + std::string(*name) : "|null"));
        return 8;
    }
    std::uint32_t ProcessOf(WindowHandle window) override {
        if (window == 2) return 10;
        for (const auto& [handle, process] : mainWindows) {
            if (handle == window) return process;
        }
        return 0;
    }
    SendResult Send(WindowHandle window, WindowMessage message, std::uintptr_t wParam,
                    const char* text) override {
        calls.push_back("send " + std::to_string(window) + " " +
                        std::to_string(static_cast<unsigned>(message)) + " " +
                        std::to_string(wParam) + (text ? " " + std::string(text) : ""));
        const std::size_t call = sends_++;
        return call < results.size() ? results[call] : SendResult::Delivered;
    }
    bool IsMinimized(WindowHandle) override { return minimized; }
    void Restore(WindowHandle window) override {
        calls.push_back("restore " + std::to_string(window));
    }
    void BringToFront(WindowHandle window) override {
        calls.push_back("front " + std::to_string(window));
    }
    void Pause(std::chrono::milliseconds duration) override {
        calls.push_back("pause " + std::to_string(duration.count()));
    }

  private:
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
    const struct {
        const char* name;
        void (*client)(FakeWindows&);
        std::u16string message;
        DeliveryOutcome outcome;
        Calls calls;
    } cases[] = {
        {"each line with Enter and a pause, then the client forward", nullptr, u"A\\nB", Delivered,
         Join({kFind, Line("A"), Line("B"), kFront})},
        {"CP932, and the time", nullptr, u"表示\\n<now>", Delivered,
         Join({kFind, Line("\x95\x5c\x8e\xa6"), Line("21:30:00"), kFront})},
        {"empty lines cost neither messages nor pauses", nullptr, u"\\n\\nX", Delivered,
         Join({kFind, Line("X"), kFront})},
        {"an empty message", nullptr, u"", Delivered, Join({kFind, kFront})},
        {"no log window: nothing is sent, the client still comes forward",
         [](FakeWindows& c) { c.logWindow = false; }, u"A\\nB", NoClient,
         Join({{kFind[0]}, kFront})},
        {"no main window: the lines still go", [](FakeWindows& c) { c.mainWindows.clear(); }, u"A",
         Delivered, Join({kFind, Line("A"), {"top KIVCLI|null"}})},
        // Sends that fail stop the message, or not, by why they failed.
        {"a hung client ends the message",
         [](FakeWindows& c) {
             c.results = {R::Delivered, R::Delivered, R::Delivered, R::Delivered, R::NotAnswered};
         },
         u"A\\nB\\nC", NotAnswering,
         Join({kFind, Line("A"), {"send 8 12 0 B", "send 8 256 13"}, kFront})},
        {"a refused message ends at once, and the game is not brought forward: the user is "
         "asked first",
         [](FakeWindows& c) { c.results = {R::Refused}; }, u"A\\nB", Refused,
         Join({kFind, {"send 8 12 0 A"}})},
        {"a chat input that went away is passed over line by line",
         [](FakeWindows& c) { c.results.assign(6, R::Failed); }, u"A\\nB", NoClient,
         Join({kFind, Line("A"), Line("B"), kFront})},
        {"the client that got the lines comes forward restored",
         [](FakeWindows& c) {
             c.mainWindows = {{1, 30}, {3, 10}, {5, 10}}, c.minimized = true;
         },
         u"A", Delivered, Join({kFind, Line("A"), {"top KIVCLI|null", "restore 3", "front 3"}})},
        {"nothing sent: the first client, as ever",
         [](FakeWindows& c) {
             c.mainWindows = {{1, 30}, {3, 10}, {5, 10}};
         },
         u"", Delivered, Join({kFind, kFront})},
        {"no client of the log window's process: the first",
         [](FakeWindows& c) {
             c.mainWindows = {{1, 30}, {3, 40}};
         },
         u"A", Delivered, Join({kFind, Line("A"), kFront})},
    };
    const Clock clock = [] { return TimeOfDay{21, 30, 0}; };
    for (const auto& c : cases) {
        FakeWindows windows;
        if (c.client) c.client(windows);
        EXPECT_EQ(Macro(c.message, u"title").Execute(windows, clock), c.outcome) << c.name;
        EXPECT_EQ(windows.calls, c.calls) << c.name;
    }
}

}  // namespace
}  // namespace kiv

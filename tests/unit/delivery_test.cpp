// Delivery through a fake window system that records every call in order.

#include <gtest/gtest.h>

#include "macro/macro.h"
#include "platform/ansi_text.h"

namespace kiv {
namespace {

// CP932 bytes of the client's window names, spelled out so that a wrong
// conversion cannot hide behind itself.
const std::string kLogName =
    "\x83\x81\x83\x62\x83\x5a\x81\x5b\x83\x57\x83\x8d\x83\x4f\x83\x45\x83\x42\x83\x93\x83\x68\x83"
    "\x45";

struct FakeChild {
    std::string className;
    std::string name;
    WindowHandle handle;
};

class FakeWindows final : public WindowSystem {
  public:
    bool logWindow = true;
    bool mainWindow = true;
    std::vector<FakeChild> children = {{"Static", "", 7}, {"Edit", "", 8}, {"Edit", "", 9}};
    int answerUntilCall = -1;  // after this many sends the client stops answering
    std::vector<std::string> calls;

    WindowHandle FindTopLevel(std::string_view cls, std::optional<std::string_view> name) override {
        calls.push_back("top " + std::string(cls) + (name ? "|" + std::string(*name) : "|null"));
        if (cls == "KivMsgLogWindow" && name == kLogName && logWindow) return 2;
        if (cls == "KIVCLI" && !name && mainWindow) return 1;
        return kNoWindow;
    }
    WindowHandle FindChild(WindowHandle parent, std::string_view cls,
                           std::optional<std::string_view> name) override {
        calls.push_back("child " + std::to_string(parent) + " " + std::string(cls) +
                        (name ? "|" + std::string(*name) : "|null"));
        for (const FakeChild& child : children) {
            if (child.className == cls && (!name || child.name == *name)) return child.handle;
        }
        return kNoWindow;
    }
    SendResult Send(WindowHandle window, WindowMessage message, std::uintptr_t wParam,
                    const char* text) override {
        calls.push_back("send " + std::to_string(window) + " " +
                        std::to_string(static_cast<unsigned>(message)) + " " +
                        std::to_string(wParam) + (text ? " " + std::string(text) : ""));
        ++sends_;
        return answerUntilCall >= 0 && sends_ > answerUntilCall ? SendResult::NotAnswered
                                                                : SendResult::Delivered;
    }
    void BringToFront(WindowHandle window) override {
        calls.push_back("front " + std::to_string(window));
    }
    void Pause(std::chrono::milliseconds duration) override {
        calls.push_back("pause " + std::to_string(duration.count()));
    }

  private:
    int sends_ = 0;
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

Calls Deliver(FakeWindows& windows, const std::u16string& message) {
    Macro(message, u"title").Execute(windows, [] { return TimeOfDay{21, 30, 0}; });
    return windows.calls;
}

TEST(Delivery, SendsEachLineWithEnterAndPauseThenBringsTheClientForward) {
    FakeWindows windows;
    EXPECT_EQ(Deliver(windows, u"A\\nB"), Join({kFind, Line("A"), Line("B"), kFront}));
}

TEST(Delivery, SendsCp932AndTheTime) {
    FakeWindows windows;
    EXPECT_EQ(Deliver(windows, u"表示\\n<now>"),
              Join({kFind, Line("\x95\x5c\x8e\xa6"), Line("21:30:00"), kFront}));
}

TEST(Delivery, EmptyLinesCostNeitherMessagesNorPauses) {
    FakeWindows windows;
    EXPECT_EQ(Deliver(windows, u"\\n\\nX"), Join({kFind, Line("X"), kFront}));
    FakeWindows empty;
    EXPECT_EQ(Deliver(empty, u""), Join({kFind, kFront}));
}

TEST(Delivery, WithoutTheLogWindowNothingIsSentButTheClientStillComesForward) {
    FakeWindows windows;
    windows.logWindow = false;
    EXPECT_EQ(Deliver(windows, u"A\\nB"), Join({{kFind[0]}, kFront}));
}

TEST(Delivery, WithoutTheMainWindowTheLinesStillGo) {
    FakeWindows windows;
    windows.mainWindow = false;
    EXPECT_EQ(Deliver(windows, u"A"), Join({kFind, Line("A"), {"top KIVCLI|null"}}));
}

TEST(Delivery, AHungClientEndsTheMessageButNotTheForegroundStep) {
    FakeWindows windows;
    windows.answerUntilCall = 4;  // first line and the second line's text get through
    EXPECT_EQ(Deliver(windows, u"A\\nB\\nC"),
              Join({kFind, Line("A"), {"send 8 12 0 B", "send 8 256 13"}, kFront}));
}

}  // namespace
}  // namespace kiv

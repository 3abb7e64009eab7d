// Real delivery into the stand-in game client: the window system, the file reader and CP932
// together.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "macro/delivery.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/local_clock.h"
#include "platform/window_system_win32.h"
#include "standin_process.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using standin::Event;
using standin::Hex;
using standin::StandinClient;

// The client's events as "KIND detail", and what it must receive for these
// lines: the text as CP932 bytes, then one Enter press and release each.
std::vector<std::string> Seen(const std::vector<Event>& events) {
    std::vector<std::string> seen;
    seen.reserve(events.size());
    for (const Event& e : events) seen.push_back(e.kind + " " + e.detail);
    return seen;
}
std::vector<std::string> Typed(const std::vector<std::string>& lines) {
    std::vector<std::string> typed;
    for (const std::string& line : lines) {
        typed.insert(typed.end(), {"SETTEXT " + Hex(line), "KEYDOWN 13 0", "KEYUP 13 0"});
    }
    return typed;
}

class DeliveryE2eTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale"; }
    DeliveryOutcome Say(const Macro& macro, ClientTarget& target) {
        FillContext context{LocalTimeOfDay};
        return Deliver(macro, windows_, context, target).outcome;
    }

    test::TempDir dir_;
    Win32WindowSystem windows_;
    ClientTarget automatic_;
};

// Something else in front and the client minimised: the change is the delivery's.
TEST_F(DeliveryE2eTest, MultiLineMacroIsTypedLineByLineWithPausesIntoTheClientRestoredInFront) {
    StandinClient client(dir_.Path("record.txt"));
    ASSERT_TRUE(client.Started());
    UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(other.Get());
    ASSERT_TRUE(standin::WaitFor([&] { return GetForegroundWindow() == other.Get(); }));
    ShowWindow(StandinClient::MainWindow(), SW_MINIMIZE);
    ASSERT_TRUE(standin::WaitFor([] { return IsIconic(StandinClient::MainWindow()) != 0; }));
    // 表 and ソ end in the byte 0x5C, the backslash: they must not split a line.
    test::WriteBytes(dir_.Path("macros.txt"),
                     ToAnsi(u"表示\\nソフト\\n<now>\t三行\r\n十能\\n\\n能\t空行\r\n"));
    MacroList list;
    list.SetFileName(dir_.File("macros.txt"));
    list.LoadData();
    ASSERT_EQ(list.Count(), 2u);

    const std::string before = ToAnsi(FormatTimeOfDay(LocalTimeOfDay()));
    EXPECT_EQ(Say(list.Item(1), automatic_), DeliveryOutcome::Delivered);
    Say(list.Item(2), automatic_);
    const std::string after = ToAnsi(FormatTimeOfDay(LocalTimeOfDay()));
    EXPECT_TRUE(standin::WaitFor([] {
        return GetForegroundWindow() == StandinClient::MainWindow() &&
               !IsIconic(StandinClient::MainWindow());
    }));
    const std::vector<Event> events = client.WaitForEvents(15);
    ASSERT_EQ(events.size(), 15u);
    // The clock line is read while sending: the local time of its second.
    const std::string now = events[6].detail == Hex(after) ? after : before;
    EXPECT_EQ(Seen(events),
              Typed({ToAnsi(u"表示"), ToAnsi(u"ソフト"), now, ToAnsi(u"十能"), ToAnsi(u"能")}));
    for (std::size_t line = 1; line < 5; ++line) {
        const long long gap = events[3 * line].micros - events[3 * line - 1].micros;
        EXPECT_GE(gap, 50'000) << "pause before line " << line;
    }
}

TEST_F(DeliveryE2eTest, NamedChatInputReceivesNothing) {
    StandinClient client(dir_.Path("record.txt"), L"--named-edit");
    ASSERT_TRUE(client.Started());
    // Delivery sends and waits for each message: what arrived is recorded.
    EXPECT_EQ(Say(Macro(u"hello", u"hello"), automatic_), DeliveryOutcome::NoClient);
    EXPECT_TRUE(client.Received().empty());
}

// Two clients: the line goes to the one used last, though the other's log
// window comes first.
TEST_F(DeliveryE2eTest, OfTwoClientsTheOneUsedLastGetsTheLine) {
    StandinClient used(dir_.Path("used.txt"), L"--title used");
    StandinClient other(dir_.Path("other.txt"), L"--title other");
    ASSERT_TRUE(used.Started() && other.Started());
    // Each client's own start brings it to the front, late on a loaded
    // machine: the order is set once both are done.
    ASSERT_TRUE(standin::WaitFor([&] { return used.Activated() && other.Activated(); }));
    // From the bottom up: the other's log window above the used one's main.
    ASSERT_TRUE(standin::WaitFor([&] {
        for (HWND window : {other.Main(), used.Log(), used.Main(), other.Log()}) {
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return StandinClient::LogWindow() == other.Log() &&
               StandinClient::MainWindow() == used.Main();
    })) << "the other's log window first, the used one's main window first";

    ClientTarget target;
    EXPECT_EQ(Say(Macro(u"one", u"t"), target), DeliveryOutcome::Delivered);
    EXPECT_EQ(Seen(used.WaitForEvents(3)), Typed({"one"}));
    EXPECT_TRUE(standin::WaitFor([&] { return GetForegroundWindow() == used.Main(); }));
    EXPECT_TRUE(other.Received().empty());
}

}  // namespace
}  // namespace kiv

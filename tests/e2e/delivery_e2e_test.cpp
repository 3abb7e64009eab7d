// Real delivery into the stand-in game client: the Win32 window system, the
// macro file reader and the ANSI conversion of a Japanese Windows together.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "macro/line_preparation.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/local_clock.h"
#include "platform/win32_window_system.h"
#include "standin_process.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using standin::Event;
using standin::Hex;
using standin::StandinClient;

// What the client must have received for these lines: the text as CP932
// bytes, then one Enter press and release each.
void ExpectLinesTyped(const std::vector<Event>& events, std::size_t first,
                      const std::vector<std::string>& lines) {
    ASSERT_GE(events.size(), first + 3 * lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Event* e = &events[first + 3 * i];
        EXPECT_EQ(e[0].kind, "SETTEXT") << "line " << i;
        EXPECT_EQ(e[0].detail, Hex(lines[i])) << "line " << i;
        EXPECT_EQ(e[1].kind, "KEYDOWN");
        EXPECT_EQ(e[1].detail, "13 0");
        EXPECT_EQ(e[2].kind, "KEYUP");
        EXPECT_EQ(e[2].detail, "13 0");
    }
}

class DeliveryE2eTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale"; }

    MacroList Load(const std::string& fileBytes) {
        const auto path = dir_.Path("macros.txt");
        test::WriteBytes(path, fileBytes);
        MacroList list;
        list.SetFileName(path.u16string());
        list.LoadData();
        return list;
    }

    test::TempDir dir_;
    Win32WindowSystem windows_;
};

TEST_F(DeliveryE2eTest, MultiLineMacroIsTypedLineByLineWithPauses) {
    StandinClient client(dir_.Path("record.txt"));
    ASSERT_TRUE(client.Started());
    // 表 and ソ end in the byte 0x5C, the backslash: they must not split a line.
    const std::string file = ToAnsi(u"表示\\nソフト\\n<now>\t三行\r\n十能\\n\\n能\t空行\r\n");
    const MacroList list = Load(file);
    ASSERT_EQ(list.Count(), 2u);

    const auto before = LocalTimeOfDay();
    list.Item(1).Execute(windows_, LocalTimeOfDay);
    list.Item(2).Execute(windows_, LocalTimeOfDay);
    const std::vector<Event> events = client.WaitForEvents(15);
    ASSERT_EQ(events.size(), 15u);

    const std::string now = [&] {
        // The clock line is read while sending; accept the second it was sent in.
        const std::string sent = events[6].detail;
        for (int s = 0; s <= 2; ++s) {
            const int total = (before.hour * 3600 + before.minute * 60 + before.second + s) % 86400;
            const TimeOfDay t{total / 3600, total / 60 % 60, total % 60};
            if (Hex(ToAnsi(FormatTimeOfDay(t))) == sent) return ToAnsi(FormatTimeOfDay(t));
        }
        return std::string("HH:MM:SS");
    }();
    ExpectLinesTyped(events, 0,
                     {ToAnsi(u"表示"), ToAnsi(u"ソフト"), now, ToAnsi(u"十能"), ToAnsi(u"能")});
    for (std::size_t line = 1; line < 5; ++line) {
        const long long gap = events[3 * line].micros - events[3 * line - 1].micros;
        EXPECT_GE(gap, 50'000) << "pause before line " << line;
    }
}

TEST_F(DeliveryE2eTest, GameClientComesToTheFrontRestored) {
    StandinClient client(dir_.Path("record.txt"));
    ASSERT_TRUE(client.Started());
    // Something else is in front first, so the change is the delivery's doing.
    UniqueWindow other(CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(other.Get());
    ASSERT_TRUE(standin::WaitFor([&] { return GetForegroundWindow() == other.Get(); }));
    ShowWindow(StandinClient::MainWindow(), SW_MINIMIZE);
    ASSERT_TRUE(standin::WaitFor([] { return IsIconic(StandinClient::MainWindow()) != 0; }));

    EXPECT_EQ(Macro(u"hello", u"hello").Execute(windows_, LocalTimeOfDay),
              DeliveryOutcome::Delivered);
    EXPECT_TRUE(standin::WaitFor([] {
        return GetForegroundWindow() == StandinClient::MainWindow() &&
               !IsIconic(StandinClient::MainWindow());
    }));
    ExpectLinesTyped(client.WaitForEvents(3), 0, {"hello"});
}

TEST_F(DeliveryE2eTest, HungClientCostsOneTimeoutAndGetsNoFurtherLines) {
    StandinClient client(dir_.Path("record.txt"), L"--hung-ms 2500");
    ASSERT_TRUE(client.Started());
    Win32WindowSystem impatient(std::chrono::milliseconds(500));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Macro(u"one\\ntwo\\nthree", u"t").Execute(impatient, LocalTimeOfDay),
              DeliveryOutcome::NotAnswering);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(2500));

    // Whether the line that timed out is still handled once the client wakes
    // is the system's affair (Windows does, Wine drops it); nothing after it
    // may ever arrive.
    // Once it answers, it has handled (and recorded) all that reached it.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(StandinClient::MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 15000,
                                    &ignored));
    const std::vector<Event> events = client.Received();
    ASSERT_LE(events.size(), 1u);
    if (!events.empty()) {
        EXPECT_EQ(events[0].kind, "SETTEXT");
        EXPECT_EQ(events[0].detail, Hex("one"));
    }
}

TEST_F(DeliveryE2eTest, NamedChatInputReceivesNothing) {
    StandinClient client(dir_.Path("record.txt"), L"--named-edit");
    ASSERT_TRUE(client.Started());
    // Delivery sends and waits for each message: what arrived is recorded.
    EXPECT_EQ(Macro(u"hello", u"hello").Execute(windows_, LocalTimeOfDay),
              DeliveryOutcome::NoClient);
    EXPECT_TRUE(client.Received().empty());
}

}  // namespace
}  // namespace kiv

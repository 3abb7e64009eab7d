// The notice board on a stand-in window: what it tells, and when, as the user
// looks at the tool or away from it.

#include "app/notices/notice_board_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "support/host_window.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

constexpr UINT kShowNotices = WM_APP + 1;

class NoticeBoardTest : public testing::Test {
  protected:
    NoticeBoardTest() {
        WindowNoticePort::Window window;  // no more is asked of it here
        window.handle = tool_.Handle();
        window.busy = [] { return false; };
        board_.Attach(std::move(window), kShowNotices);
        tool_.SetRoute([this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != kShowNotices) return std::nullopt;
            board_.ShowWhenLooking();
            return 0;
        });
        ShowWindow(tool_.Handle(), SW_SHOW);
        ShowWindow(elsewhere_.Handle(), SW_SHOW);
    }
    // The user brings `window` forward: the tool's, or another program's.
    static void LookAt(const test::HostWindow& window) {
        SetForegroundWindow(window.Handle());
        ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == window.Handle(); }));
    }
    // What the board posted itself, served.
    static void Serve() {
        test::PumpUntil([] { return true; });
    }

    NoticeBoard board_;
    test::HostWindow tool_;
    test::HostWindow elsewhere_;
    const DWORD thread_ = GetCurrentThreadId();
};

// A box shown inside the call is there before it returns: the answerer has
// its text before anything here pumps.
TEST_F(NoticeBoardTest, InFrontTellShowsAtOnceAndNotifyOnceTheCommandEnded) {
    LookAt(tool_);
    test::ModalAnswerer told(thread_, IDOK);
    board_.Tell(u"見つかりません");
    ASSERT_EQ(told.Text(), L"見つかりません") << "at once, where the user looks";

    test::ModalAnswerer notified(thread_, IDOK);
    board_.Notify({NoticeKind::ReloadFailed, u"読めません"});
    EXPECT_EQ(notified.Text(), L"") << "not in the middle of the command";
    ASSERT_TRUE(notified.Answered());
    EXPECT_EQ(notified.Text(), L"読めません");
}

TEST_F(NoticeBoardTest, AwayFromTheToolNoticesWaitUntilTheUserLooksAndADroppedOneIsNeverShown) {
    LookAt(elsewhere_);
    test::ModalAnswerer told(thread_, IDOK);
    board_.Tell(u"見つかりません");
    EXPECT_EQ(told.Text(), L"") << "no box from behind another program";
    Serve();
    EXPECT_FALSE(told.Answered(std::chrono::milliseconds(0))) << "kept while the user is away";
    LookAt(tool_);
    board_.UserMayLook();
    ASSERT_TRUE(told.Answered());
    EXPECT_EQ(told.Text(), L"見つかりません");

    LookAt(elsewhere_);
    board_.Notify({NoticeKind::ReloadFailed, u"読めません"});
    Serve();
    board_.Drop(NoticeKind::ReloadFailed);
    LookAt(tool_);
    test::ModalAnswerer none(thread_, IDOK);
    SendMessageW(tool_.Handle(), kShowNotices, 0, 0);  // a look, as the window's activation asks
    EXPECT_FALSE(none.Answered(std::chrono::milliseconds(0))) << "what it said no longer holds";
}

}  // namespace
}  // namespace kiv

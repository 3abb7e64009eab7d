// What the tool tells or asks unasked: never over the game, and the offer to
// run as administrator in the order that keeps settings and hotkeys whole.

#include "app/notices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/utf8.h"

namespace kiv {
namespace {

// Records each step the notices take, as "step" or "step:text".
class RecordingPort final : public NoticePort {
  public:
    bool inFront = true;
    bool elevated = false;
    bool answer = true;
    Relaunch relaunch = Relaunch::Started;
    std::vector<std::string> steps;

    bool CanAskNow() override { return inFront; }
    void FlashTaskbarButton() override { steps.emplace_back("flash"); }
    void Tell(const std::u16string& text) override { steps.emplace_back("tell:" + ToUtf8(text)); }
    bool AskYesNo(const std::u16string&) override {
        steps.emplace_back("ask");
        return answer;
    }
    bool IsElevated() override { return elevated; }
    void SaveSettings() override { steps.emplace_back("save"); }
    void ReleaseHotkeys() override { steps.emplace_back("release"); }
    void RegisterHotkeysAgain() override { steps.emplace_back("register"); }
    Relaunch RelaunchAsAdministrator(std::u16string& reason) override {
        steps.emplace_back("relaunch");
        reason = u"拒否";
        return relaunch;
    }
    void CloseWindow() override { steps.emplace_back("close"); }
};

TEST(Notices, WaitWhileTheGameIsInFrontAndShowOnceTheUserLooks) {
    RecordingPort port;
    port.inFront = false;
    PendingNotices notices;
    notices.Add({NoticeKind::ReloadFailed, u"古い"});
    notices.Add({NoticeKind::HotkeysRefused, u"キー"});
    notices.Add({NoticeKind::ReloadFailed, u"新しい"});  // replaces the one not shown yet
    notices.ShowWhenLooking(port);
    EXPECT_EQ(port.steps, (std::vector<std::string>{"flash"}));
    port.inFront = true;
    notices.ShowWhenLooking(port);
    notices.ShowWhenLooking(port);
    EXPECT_EQ(port.steps, (std::vector<std::string>{"flash", "tell:キー", "tell:新しい"}))
        << "each once, in order";
    EXPECT_TRUE(notices.Empty());
    notices.Add({NoticeKind::ReloadFailed, u"x"});
    notices.Drop(NoticeKind::ReloadFailed);
    EXPECT_TRUE(notices.Empty());
}

TEST(Notices, TheOfferSavesAndReleasesBeforeAskingAndRegistersAgainUnlessTakenOver) {
    struct Case {
        const char* name;
        bool answer;
        Relaunch relaunch;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"started", true, Relaunch::Started, {"save", "release", "ask", "relaunch", "close"}},
        {"no", false, Relaunch::Started, {"save", "release", "ask", "register"}},
        {"prompt declined",
         true,
         Relaunch::Declined,
         {"save", "release", "ask", "relaunch", "register"}},
        {"failed",
         true,
         Relaunch::Failed,
         {"save", "release", "ask", "relaunch", "register",
          "tell:管理者として起動し直せませんでした。\n\n拒否"}},
    };
    for (const Case& c : cases) {
        RecordingPort port;
        port.answer = c.answer;
        port.relaunch = c.relaunch;
        port.inFront = false;  // the send came from a hotkey, the game in front
        PendingNotices notices;
        notices.Add({NoticeKind::SendRefused, u""});
        notices.ShowWhenLooking(port);
        port.inFront = true;
        notices.ShowWhenLooking(port);
        std::vector<std::string> expected{"flash"};
        expected.insert(expected.end(), c.steps.begin(), c.steps.end());
        EXPECT_EQ(port.steps, expected) << c.name;
    }
}

TEST(Notices, AnElevatedToolOnlySaysWhy) {
    RecordingPort port;
    port.elevated = true;
    OfferToRunAsAdministrator(port);
    ASSERT_EQ(port.steps.size(), 1u);
    EXPECT_TRUE(port.steps[0].starts_with("tell:")) << port.steps[0];
}

}  // namespace
}  // namespace kiv

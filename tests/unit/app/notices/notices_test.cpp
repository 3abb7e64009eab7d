// What the tool tells or asks unasked: never over the game, and the offer to
// run as administrator in the order that keeps settings and hotkeys whole.

#include "app/notices/notices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "platform/utf8.h"

namespace kiv {
namespace {

// Records each step the notices take, as "step|" or "tell:text|".
class RecordingPort final : public NoticePort {
  public:
    bool inFront = true;
    bool elevated = false;
    bool answer = true;
    Relaunch relaunch = Relaunch::Started;
    std::string steps;
    std::u16string asked;  // the question last asked

    bool CanAskNow() override { return inFront; }
    void FlashTaskbarButton() override { steps += "flash|"; }
    void Tell(const std::u16string& text) override { steps += "tell:" + ToUtf8(text) + "|"; }
    bool AskYesNo(const std::u16string& question) override {
        steps += "ask|";
        asked = question;
        return answer;
    }
    bool IsElevated() override { return elevated; }
    void SaveSettings() override { steps += "save|"; }
    void ReleaseHotkeys() override { steps += "release|"; }
    void RegisterHotkeysAgain() override { steps += "register|"; }
    Relaunch RelaunchAsAdministrator(std::u16string& reason) override {
        steps += "relaunch|";
        reason = u"拒否";
        return relaunch;
    }
    void CloseWindow() override { steps += "close|"; }
};

TEST(Notices, WaitWhileTheGameIsInFrontAndShowOnceTheUserLooks) {
    RecordingPort port;
    port.inFront = false;
    PendingNotices notices;
    notices.Add({NoticeKind::ReloadFailed, u"古い"});
    notices.Add({NoticeKind::HotkeysRefused, u"キー"});
    notices.Add({NoticeKind::MacroCutShort, u"一つ目"});
    notices.Add({NoticeKind::ReloadFailed, u"新しい"});   // replaces the one not shown yet
    notices.Add({NoticeKind::MacroCutShort, u"二つ目"});  // beside it: each its own lines
    notices.ShowWhenLooking(port);
    EXPECT_EQ(port.steps, "flash|");
    port.inFront = true;
    notices.ShowWhenLooking(port);
    notices.ShowWhenLooking(port);
    EXPECT_EQ(port.steps, "flash|tell:キー|tell:一つ目|tell:新しい|tell:二つ目|")
        << "each once, in order";
    EXPECT_TRUE(notices.Empty());
    notices.Add({NoticeKind::ReloadFailed, u"x"});
    notices.Drop(NoticeKind::ReloadFailed);
    EXPECT_TRUE(notices.Empty());
}

// The send came from a hotkey, the game in front: the offer waits too.
TEST(Notices, TheOfferSavesAndReleasesBeforeAskingAndRegistersAgainUnlessTakenOver) {
    // The answer, how the relaunch went, and the steps after "flash|save|release|ask|".
    const std::tuple<bool, Relaunch, std::string> cases[] = {
        {true, Relaunch::Started, "relaunch|close|"},
        {false, Relaunch::Started, "register|"},
        {true, Relaunch::Declined, "relaunch|register|"},
        {true, Relaunch::Failed,
         "relaunch|register|tell:管理者として起動し直せませんでした。\n\n拒否|"},
    };
    for (const auto& [answer, relaunch, steps] : cases) {
        RecordingPort port;
        port.answer = answer;
        port.relaunch = relaunch;
        port.inFront = false;
        PendingNotices notices;
        notices.Add({NoticeKind::SendRefused, u"「beta」(PID 7)"});
        notices.ShowWhenLooking(port);
        port.inFront = true;
        notices.ShowWhenLooking(port);
        EXPECT_EQ(port.steps, "flash|save|release|ask|" + steps);
        EXPECT_NE(port.asked.find(u"ゲームクライアント「beta」(PID 7)が管理者"),
                  std::u16string::npos)
            << "the client refused named, of several";
    }

    RecordingPort elevated;
    elevated.elevated = true;
    OfferToRunAsAdministrator(elevated, u"「beta」(PID 7)");
    EXPECT_TRUE(elevated.steps.starts_with("tell:") && std::ranges::count(elevated.steps, '|') == 1)
        << "an elevated tool only says why: " << elevated.steps;
    EXPECT_NE(elevated.steps.find("ゲームクライアント「beta」(PID 7)への"), std::string::npos)
        << "the client refused named, of several: " << elevated.steps;
}

}  // namespace
}  // namespace kiv

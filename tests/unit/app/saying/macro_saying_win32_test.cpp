// Saying macros on a stand-in window with no game client running: what
// becomes of the list's selection. The delivery itself is the e2e tests'.

#include "app/saying/macro_saying_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/hosted_features.h"

namespace kiv {
namespace {

class MacroSayingTest : public testing::Test, protected test::HostedFeatures {
  protected:
    void SetUp() override { Start("a\r\nb\r\nc\r\n"); }
};

TEST_F(MacroSayingTest, NothingSelectedSaysNothing) {
    EXPECT_EQ(saying.Say(), std::nullopt);
    Select(1);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::NoClient);
    EXPECT_EQ(Selected(), 1) << "saying leaves the selection";
}

TEST_F(MacroSayingTest, TheSelectionStepsAsTheButtonAndKeysSayUnlessHeld) {
    // What holds; the hotkey pressed (nothing: the button 発言して次へ); the
    // entry selected before and after (-1: none).
    using Key = std::optional<HotkeyAction>;
    const Key button, sayNext = HotkeyAction::SayNext, next = HotkeyAction::Next,
                      previous = HotkeyAction::Previous;
    const Holds none, delivering = Hold::Delivering, closing = Hold::ShuttingDown,
                      keysFree = Hold::KeysFree, dialog = Hold::Dialog;
    const std::tuple<Holds, Key, int, int> cases[] = {
        {none, button, 0, 1},       {none, button, 2, 0},     {none, button, -1, 0},
        {none, sayNext, 1, 2},      {none, next, 2, 0},       {none, previous, 0, 2},
        {delivering, button, 0, 0}, {closing, button, 0, 0},  {delivering, next, 0, 0},
        {keysFree, next, 0, 0},     {dialog, previous, 1, 1}, {dialog, sayNext, 1, 1},
    };
    int row = 0;
    for (const auto& [holds, key, before, after] : cases) {
        held = holds;
        Select(before);
        key ? saying.RunHotkey(*key) : saying.SayNext();
        EXPECT_EQ(Selected(), after) << "row " << row++;
    }
}

}  // namespace
}  // namespace kiv

// Saying macros on a stand-in window: what becomes of the list's selection,
// and which of two stand-in clients is said to. The rest of the delivery is
// the e2e tests'.

#include "app/saying/macro_saying_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <tuple>

#include "app/common/app_texts.h"
#include "platform/common_controls_win32.h"
#include "standin_process.h"
#include "support/hosted_features.h"
#include "support/in_process_window.h"

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
    EXPECT_TRUE(saidMacros.empty()) << "nothing went out: not counted";
}

// A saying is counted once its first line went out, as the macro of its file
// and position.
TEST_F(MacroSayingTest, ASayingWhoseFirstLineWentOutIsToldWithItsFileAndPosition) {
    standin::StandinClient client(dir.Path("c.txt"), L"--title c");
    ASSERT_TRUE(client.Started());
    ASSERT_TRUE(standin::WaitFor([&] { return client.Activated(); }));
    Select(1);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    ASSERT_EQ(saidMacros.size(), 1u);
    EXPECT_EQ(saidMacros[0].position, 2u);
    EXPECT_EQ(saidMacros[0].file, MacroFile().u16string());
}

// After a reload took the selected macro away nothing is selected: a
// hotkey's say then sends nothing and selects nothing (the next press would
// say a macro never chosen), and the player, in the game, is told why by the
// list.
TEST_F(MacroSayingTest, AHotkeySayWithNothingSelectedIsToldByTheList) {
    const auto tipText = [this] {
        std::wstring text(256, L'\0');
        TOOLINFOW info = ToolInfo(host.Handle());
        info.lpszText = text.data();
        SendMessageW(tip.Window(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
        return text.substr(0, text.find(L'\0'));
    };
    const std::wstring nothing(texts::kNothingSelected.begin(), texts::kNothingSelected.end());
    for (const auto& [key, selected, told] :
         {std::tuple{HotkeyAction::Say, -1, true}, std::tuple{HotkeyAction::SayNext, -1, true},
          std::tuple{HotkeyAction::Say, 1, false}}) {
        tip.Show(u"-");
        Select(selected);
        saying.RunHotkey(key);
        EXPECT_EQ(tipText() == nothing, told) << static_cast<int>(key) << " at " << selected;
        EXPECT_EQ(Selected(), told ? -1 : selected);
    }
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

// Windows puts a minimised client at the bottom of the z-order: the one
// whose window came forward last is the one used last, though the other's
// is higher. The foreground hook is driven by hand (see CameForward).
TEST_F(MacroSayingTest, TheClientWhoseWindowCameForwardLastGetsTheLine) {
    standin::StandinClient used(dir.Path("used.txt"), L"--title used");
    standin::StandinClient other(dir.Path("other.txt"), L"--title other");
    ASSERT_TRUE(used.Started() && other.Started());
    ASSERT_TRUE(standin::WaitFor([&] { return used.Activated() && other.Activated(); }));
    ASSERT_TRUE(standin::WaitFor([&] {
        SetWindowPos(other.Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return standin::StandinClient::MainWindow() == other.Main();
    }));
    saying.CameForward(used.Log());
    saying.CameForward(host.Handle());  // not a client: changes nothing
    Select(0);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    const std::vector<standin::Event> got = used.WaitForEvents(3);
    ASSERT_FALSE(got.empty()) << "to the one used last";
    EXPECT_EQ(got.front().detail, standin::Hex("a"));
    EXPECT_TRUE(other.Received().empty());
}

// A tab's client gets its macros whichever client the tool would choose;
// with none or two of its title running, nothing goes anywhere, and why is
// told.
TEST_F(MacroSayingTest, ATabsClientGetsItsMacrosAndNoneOrTwoOfItsTitleGetNothing) {
    standin::StandinClient used(dir.Path("used.txt"), L"--title used");
    standin::StandinClient bound(dir.Path("bound.txt"), L"--title 戦士");
    ASSERT_TRUE(used.Started() && bound.Started());
    ASSERT_TRUE(standin::WaitFor([&] { return used.Activated() && bound.Activated(); }));
    saying.CameForward(used.Main());
    std::u16string client = u"戦士";
    sayingFrom = [&](Macro macro) { return TabMacro{std::move(macro), u"party", client, {}, 0}; };
    Select(1);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    const std::vector<standin::Event> got = bound.WaitForEvents(3);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front().detail, standin::Hex("b"));

    standin::StandinClient twin(dir.Path("twin.txt"), L"--title 戦士");
    ASSERT_TRUE(twin.Started());
    ASSERT_TRUE(standin::WaitFor([&] { return twin.Activated(); }));
    for (const auto& [title, told] :
         {std::pair{u"戦士", u"複数あり"}, std::pair{u"魔法使い", u"起動していない"}}) {
        client = title;
        EXPECT_EQ(saying.Say(), DeliveryOutcome::TabClientNotOne);
        ASSERT_FALSE(notices.Waiting().empty());
        EXPECT_EQ(notices.Waiting().back().kind, NoticeKind::TabClientNotOne);
        EXPECT_NE(notices.Waiting().back().text.find(told), std::u16string::npos);
        EXPECT_NE(notices.Waiting().back().text.find(u"マクロ「b」"), std::u16string::npos);
    }
    EXPECT_TRUE(used.Received().empty()) << "never the tool's choice in the tab's place";
    EXPECT_TRUE(twin.Received().empty());
}

// Clients of one title are named by their start; the one chosen in 送信先
// flashes its taskbar button (Wine has no taskbar: the tip says which). The
// title remembered waits while two have it, the menu saying why; its client
// gone, it goes to one of that title started later, not to one already
// running.
TEST_F(MacroSayingTest, ClientsOfOneTitleGoByTheirStartAndTheTitleRememberedToOneStartedLater) {
    // The lines a client was given, once it has `count`.
    const auto Lines = [](const standin::StandinClient& client, std::size_t count) {
        std::vector<std::string> lines;
        for (const standin::Event& event : client.WaitForEvents(3 * count)) {
            if (event.kind == "SETTEXT") lines.push_back(event.detail);
        }
        return lines;
    };
    const std::vector<std::string> kA = {standin::Hex("a")};
    standin::StandinClient other(dir.Path("other.txt"), L"--title other");
    standin::StandinClient first(dir.Path("first.txt"), L"--title same");
    ASSERT_TRUE(other.Started() && first.Started());
    ASSERT_TRUE(standin::WaitFor([&] { return other.Activated() && first.Activated(); }));
    std::optional<standin::StandinClient> second(std::in_place, dir.Path("second.txt"),
                                                 L"--title same");
    ASSERT_TRUE(second->Started());
    // Wine gives no later process an ended one's id: what tells them apart
    // is checked here, the rest with the portable tests' fake.
    Win32WindowSystem windows;
    EXPECT_LT(windows.StartTimeOf(other.Process()), windows.StartTimeOf(second->Process()));
    EXPECT_NE(windows.StartTimeOf(other.Process()), 0u);
    saying.CameForward(other.Main());  // used last: the automatic target
    saying.ChooseRemembered(u"same");
    const SendToMenu offer = saying.OfferClients();
    const std::u16string otherName = SendToItemText(u"other", other.Process());
    EXPECT_EQ(offer.items,
              (std::vector<std::u16string>{u"自動(&A)", otherName, u"same (1)", u"same (2)"}));
    EXPECT_EQ(offer.ticked, 0u);
    EXPECT_EQ(offer.note, u"(「same」のゲームクライアントが複数あるため自動)");

    saying.ChooseOffered(3);
    EXPECT_EQ(tip.Flashing(), second->Main()) << "the second started";
    Select(0);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_EQ(Lines(*second, 1), kA);

    second.reset();  // closed: told once, nothing sent
    EXPECT_EQ(saying.Say(), DeliveryOutcome::ChosenExited);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_EQ(Lines(other, 1), kA) << "not to the one of that title running already";
    EXPECT_TRUE(first.Received().empty());
    first.Close();
    standin::StandinClient later(dir.Path("later.txt"), L"--title same");
    ASSERT_TRUE(later.Started());
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_EQ(Lines(later, 1), kA) << "started later";
    EXPECT_EQ(Lines(other, 1), kA);

    // Closed, and one of the title started before the next say: nothing
    // sent, and the player told that the next goes to it, not to 自動.
    later.Close();
    standin::StandinClient again(dir.Path("again.txt"), L"--title same");
    ASSERT_TRUE(again.Started());
    EXPECT_EQ(saying.Say(), DeliveryOutcome::ChosenExited);
    test::ModalAnswerer box(GetCurrentThreadId(), IDOK);
    // Its own start brings it forward, late on a loaded machine: the tool
    // comes forward after that, as the player's click would bring it.
    ASSERT_TRUE(standin::WaitFor([&] { return again.Activated(); }));
    ASSERT_TRUE(test::PumpUntil([&] {
        SetForegroundWindow(host.Handle());
        return GetForegroundWindow() == host.Handle();
    }));
    notices.UserMayLook();
    ASSERT_TRUE(box.Answered());
    EXPECT_NE(box.Text().find(L"次からはそちらに送ります"), std::wstring::npos) << box.Text();
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_EQ(Lines(again, 1), kA);
}

}  // namespace
}  // namespace kiv

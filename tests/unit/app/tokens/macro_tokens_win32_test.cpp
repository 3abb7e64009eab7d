// A macro's tokens as the tool fills them in on a stand-in window: the
// question asked before anything goes, a wait the tool answers through and
// a second saying cancels, the count, the clipboard and the names' dialog.

#include "app/tokens/macro_tokens_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "app/common/app_texts.h"
#include "app/common/resource.h"
#include "app/tokens/variables_dialog_win32.h"
#include "platform/ansi_text.h"
#include "platform/common_controls_win32.h"
#include "platform/handle_win32.h"
#include "platform/wide_text.h"
#include "standin_process.h"
#include "support/hosted_features.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

class MacroTokensTest : public testing::Test, protected test::HostedFeatures {
  protected:
    void SetUp() override {
        Start(
            ToAnsi(u"x\\n<wait.0.3>y\t待つ\r\n"
                   u"<ask:誰に?>へ\\n<ask:誰に?>から\t問う\r\n"
                   u"#<count>\t数える\r\n"
                   u"b\tb\r\n"
                   u"x\\n<wait.30>y\t長く待つ\r\n"
                   u"a\\n<wait.0.1>#<count>\t後で数える\r\n"));
        client_ = std::make_unique<standin::StandinClient>(dir.Path("c.txt"), L"--title c");
        ASSERT_TRUE(client_->Started());
        ASSERT_TRUE(standin::WaitFor([&] { return client_->Activated(); }));
    }

    // The texts the client got, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const standin::Event& event : client_->Received()) {
            if (event.kind == "SETTEXT") texts.push_back(event.detail);
        }
        return texts;
    }
    std::wstring TipText() const {
        std::wstring text(256, L'\0');
        TOOLINFOW info = ToolInfo(host.Handle());
        info.lpszText = text.data();
        SendMessageW(tip.Window(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
        return text.substr(0, text.find(L'\0'));
    }

    std::unique_ptr<standin::StandinClient> client_;
};

// The tool answers while a macro waits; the rest then goes to the same
// client, the pause in place of the usual one. A second saying meanwhile
// lets the rest go, says nothing itself, and the player is told.
TEST_F(MacroTokensTest, AWaitLetsTheToolAnswerAndASecondSayingLetsTheRestGo) {
    Select(0);
    ASSERT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_TRUE(saying.Waiting());
    EXPECT_FALSE(saying.Delivering()) << "the tool answers meanwhile";
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 2; }));
    const std::vector<standin::Event> events = client_->Received();
    EXPECT_GE(events[3].micros - events[0].micros, 300'000) << "y after the wait";
    EXPECT_EQ(Texts(), (std::vector<std::string>{standin::Hex("x"), standin::Hex("y")}));
    EXPECT_FALSE(saying.Waiting());

    Select(4);
    ASSERT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_TRUE(saying.Waiting());
    Select(3);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Withdrawn);
    EXPECT_FALSE(saying.Waiting());
    EXPECT_EQ(TipText(), Wide(std::u16string(texts::kRestWithdrawn)));
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered) << "the next saying says";
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 4; }));
    EXPECT_EQ(Texts(), (std::vector<std::string>{standin::Hex("x"), standin::Hex("y"),
                                                 standin::Hex("x"), standin::Hex("b")}));
}

// Asked once for two of the same question, over the tool, titled with the
// macro; キャンセル sends nothing of the macro and counts nothing.
TEST_F(MacroTokensTest, AQuestionIsAskedOnceBeforeAnythingGoesAndCancelSendsNothing) {
    Select(1);
    std::wstring caption;
    std::wstring question;
    {
        test::DialogDriver driver(GetCurrentThreadId(), [&](HWND dialog) {
            caption = test::TextOf(dialog);
            question = test::TextIn(dialog, IDC_ASK_QUESTION);
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), host.Handle());
            SetDlgItemTextW(dialog, IDC_ASK_ANSWER, L"ともだち<count>");
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
        EXPECT_TRUE(driver.Drove());
    }
    EXPECT_EQ(caption, L"問う");
    EXPECT_EQ(question, L"誰に?");
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 2; }));
    EXPECT_EQ(Texts(), (std::vector<std::string>{standin::Hex(ToAnsi(u"ともだち<count>へ")),
                                                 standin::Hex(ToAnsi(u"ともだち<count>から"))}));

    {
        test::ModalAnswerer cancel(GetCurrentThreadId(), IDCANCEL);
        EXPECT_EQ(saying.Say(), DeliveryOutcome::Withdrawn);
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_EQ(saidMacros.size(), 1u) << "a question cancelled says nothing";
    Select(3);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 3; }));
    EXPECT_EQ(Texts().back(), standin::Hex("b")) << "nothing of the cancelled one came before";
}

// Each saying whose first line went out counts; the count is written at once
// the first time, then at most once a minute, and back to 0 at once.
TEST_F(MacroTokensTest, ACountGoesUpWithEachSayingAndBackToZero) {
    const MacroPlace place{file.List().FileName(), 3};
    EXPECT_FALSE(tokens.CountersKept());
    Select(2);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 2; }));
    EXPECT_EQ(Texts(), (std::vector<std::string>{standin::Hex("#1"), standin::Hex("#2")}));
    EXPECT_TRUE(tokens.HasCount(place));
    ASSERT_EQ(countersSaved.size(), 1u) << "the second is written a minute later";
    EXPECT_EQ(countersSaved[0].CountOf({file.List().FileName(), file.List().Count(),
                                        [this](std::size_t at) { return file.List().Title(at); }},
                                       3),
              1u);
    tokens.ResetCount(place);
    EXPECT_FALSE(tokens.HasCount(place));
    EXPECT_EQ(countersSaved.size(), 2u) << "written at once";
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 3; }));
    EXPECT_EQ(Texts().back(), standin::Hex("#1"));

    Select(3);
    saying.Say();
    EXPECT_FALSE(tokens.HasCount({file.List().FileName(), 4})) << "no <count>: not counted";

    Select(5);
    EXPECT_EQ(saying.Say(), DeliveryOutcome::Delivered);
    ASSERT_TRUE(test::PumpUntil([&] { return Texts().size() == 6; }));
    EXPECT_EQ(Texts().back(), standin::Hex("#1")) << "counted as its first line went, read before";
}

// The clipboard's first line, as it is now; nothing while another program
// holds it past a few short tries.
TEST_F(MacroTokensTest, TheClipboardsFirstLineIsPutIn) {
    const auto put = [](const wchar_t* text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(memory), text, bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    };
    put(L"コピー<date>\r\n二行目");
    FillContext context = tokens.PreviewOf({file.List().FileName(), 1});
    EXPECT_EQ(PrepareLines(u"[<clip>]", context), std::vector<std::u16string>{u"[コピー<date>]"});

    std::atomic<bool> held{false};
    const UniqueHandle letGo(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        held = OpenClipboard(nullptr) != FALSE;
        WaitForSingleObject(letGo.Get(), 10'000);
        if (held) CloseClipboard();
    });
    ASSERT_TRUE(standin::WaitFor([&] { return held.load(); }));
    FillContext busy = tokens.PreviewOf({file.List().FileName(), 1});
    EXPECT_EQ(PrepareLines(u"[<clip>]", busy), std::vector<std::u16string>{u"[]"});
    SetEvent(letGo.Get());
    holder.join();
}

// Names are added, changed and deleted in the dialog; one that cannot be a
// name is refused with why until the name changes, and a name deleted does
// not come back with OK.
TEST(VariablesDialog, AddsChangesAndDeletesNamesAndRefusesATokensWord) {
    test::HostWindow owner;
    std::wstring refusal;
    bool clearedAsTyped = false;
    test::DialogDriver driver(GetCurrentThreadId(), [&](HWND dialog) {
        const auto set = [dialog](const wchar_t* name, const wchar_t* value) {
            SetDlgItemTextW(dialog, IDC_VARIABLES_NAME, name);
            SetDlgItemTextW(dialog, IDC_VARIABLES_VALUE, value);
            SendMessageW(dialog, WM_COMMAND, IDC_VARIABLES_SET, 0);
        };
        set(L"HP", L" 120 ");
        set(L"相手", L"a");
        set(L"hp", L"99");  // the same name, letter case aside
        set(L"Date", L"x");
        refusal = test::TextIn(dialog, IDC_VARIABLES_STATUS);
        SetDlgItemTextW(dialog, IDC_VARIABLES_NAME, L"Dat");
        clearedAsTyped = test::TextIn(dialog, IDC_VARIABLES_STATUS).empty();
        const HWND list = GetDlgItem(dialog, IDC_VARIABLES_LIST);
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
        SendMessageW(dialog, WM_COMMAND, IDC_VARIABLES_DELETE, 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const std::optional<MacroVariables> edited = EditVariables(
        owner.Handle(), GetModuleHandleW(nullptr), {{u"mp", u"5"}}, TextEncoding::Ansi);
    EXPECT_TRUE(driver.Drove());
    EXPECT_EQ(refusal, Wide(Fill(texts::kVariableNameTokens, {u"Date"})));
    EXPECT_TRUE(clearedAsTyped) << "the reason goes as the name changes";
    EXPECT_EQ(edited, (MacroVariables{{u"mp", u"5"}, {u"hp", u"99"}}));
}

}  // namespace
}  // namespace kiv

// The user's edits of the macros on a stand-in window: the file written, a
// key moved with its macro, and the list read again on the macro edited.

#include "app/editing/macro_editing_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "app/common/resource.h"
#include "app/macro_file/file_watch_win32.h"
#include "support/hosted_features.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

using test::ReadBytes;

const Hotkey kF7{0, VK_F7};

class MacroEditingTest : public testing::Test, protected test::HostedFeatures {
  protected:
    void SetUp() override {
        macroKeys_.Set(u"b", u"b", kF7);
        Start("a\r\nb\r\nc\r\n", {}, macroKeys_);
    }
    MacroHotkeys macroKeys_;
};

TEST_F(MacroEditingTest, ARenamedMacroIsWrittenTakesItsKeyAlongAndStaysSelected) {
    Select(1);
    bool keyFreeUnderTheDialog = false;
    test::DialogDriver rename(GetCurrentThreadId(), [&](HWND dialog) {
        keyFreeUnderTheDialog = !test::HotkeyHeld(0, VK_F7);
        SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"x");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    editing.EditMacro();
    ASSERT_TRUE(rename.Drove());
    EXPECT_TRUE(keyFreeUnderTheDialog) << "to be typed into its field";
    EXPECT_EQ(ReadBytes(MacroFile()), "a\r\nb\tx\r\nc\r\n");
    macroKeys_.Set(u"b", u"x", kF7);
    EXPECT_EQ(saved, std::vector<MacroHotkeys>{macroKeys_}) << "saved once, with the new title";
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"a", L"x", L"c"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(test::HotkeyHeld(0, VK_F7)) << "registered for the new title";
}

TEST_F(MacroEditingTest, AMoveSwapsLinesAndUndoGivesBackEachStepsBytes) {
    const std::string loaded = ReadBytes(MacroFile());
    Select(0);
    editing.Move(MacroChange::Kind::MoveDown);
    const std::string moved = ReadBytes(MacroFile());
    EXPECT_EQ(moved, "b\r\na\r\nc\r\n");
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"b", L"a", L"c"}));
    EXPECT_EQ(Selected(), 1) << "the macro moved";

    Select(2);
    test::ModalAnswerer yes(GetCurrentThreadId(), IDYES);
    editing.DeleteMacro();
    ASSERT_TRUE(yes.Answered());
    EXPECT_NE(yes.Text().find(L"(Ctrl+Z で元に戻せます)"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(MacroFile()), "b\r\na\r\n");
    editing.Undo();
    EXPECT_EQ(ReadBytes(MacroFile()), moved);
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"b", L"a", L"c"}));
    EXPECT_EQ(Selected(), 2) << "the macro back";
    editing.Undo();
    EXPECT_EQ(ReadBytes(MacroFile()), loaded);
    EXPECT_EQ(saved, std::vector<MacroHotkeys>{}) << "no key moved";
}

// On a share the write runs while the window answers, holding off a log-off only until it ends.
TEST_F(MacroEditingTest, AWriteOnAShareLetsALogOffGoOnceDone) {
    FileWatch::SetWhereSeam([](const std::u16string&) { return FileWatch::Where::Elsewhere; });
    Select(0);
    editing.Move(MacroChange::Kind::MoveDown);
    FileWatch::SetWhereSeam(nullptr);
    EXPECT_EQ(ReadBytes(MacroFile()), "b\r\na\r\nc\r\n");
    EXPECT_FALSE(editing.Writing());
    EXPECT_TRUE(test::PumpUntil([&] {
        return Titles() == std::vector<std::wstring>{L"b", L"a", L"c"};
    }));
}

}  // namespace
}  // namespace kiv

// Macros changed from the tool with real key presses.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "app/common/resource.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "support/temp_dir.h"
#include "tool_process.h"

namespace kiv {
namespace {

using e2e::ToolProcess;
using e2e::TypeCombination;
using test::ReadBytes;
using test::WriteBytes;

class MacroEditing : public e2e::ToolFolder {
  protected:
    std::filesystem::path File() const { return dir_.Path("chat.txt"); }
    std::unique_ptr<ToolProcess> Start(const std::string& macros) {
        WriteBytes(File(), macros);
        return std::make_unique<ToolProcess>(Exe());
    }
    bool FileBecomes(const std::string& bytes) {
        return e2e::WaitFor([&] { return ReadBytes(File()) == bytes; });
    }
};

// The selection follows the macro; a blank line stays where it was.
TEST_F(MacroEditing, InsertDeleteUndoAndAltDownChangeTheFileAsTheListShows) {
    const std::string before = ToAnsi(u"一\r\n\r\n二\r\n三\r\n");
    const auto tool = Start(before);
    tool->Select(0);
    TypeCombination("Insert", tool->List());
    HWND dialog = tool->WaitForModal(L"新しいマクロ");
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"回復依頼");
    SetDlgItemTextW(dialog, IDC_MACRO_LINE_FIRST, L"回復お願いします");
    SetDlgItemTextW(dialog, IDC_MACRO_LINE_FIRST + 1, L"<now>");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    const std::string added = ToAnsi(u"回復お願いします\\n<now>\t回復依頼\r\n");
    const std::string inserted = ToAnsi(u"一\r\n") + added + ToAnsi(u"\r\n二\r\n三\r\n");
    EXPECT_TRUE(FileBecomes(inserted));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Selected() == 1; }));
    EXPECT_EQ(tool->Titles(), (std::vector<std::wstring>{L"一", L"回復依頼", L"二", L"三"}));

    TypeCombination("Delete", tool->List());
    EXPECT_NE(tool->AnswerBox(IDYES).find(L"「回復依頼」を削除"), std::wstring::npos);
    EXPECT_TRUE(FileBecomes(before));
    EXPECT_TRUE(e2e::WaitFor([&] {
        return tool->Titles() == std::vector<std::wstring>{L"一", L"二", L"三"} &&
               tool->Selected() == 1;
    })) << "the one in its place";
    TypeCombination("ctrl+z", tool->List());
    EXPECT_TRUE(FileBecomes(inserted)) << "byte for byte";
    EXPECT_TRUE(tool->Shows({L"一", L"回復依頼", L"二", L"三"}));

    tool->Select(1);
    TypeCombination("alt+Down", tool->List());
    EXPECT_TRUE(FileBecomes(ToAnsi(u"一\r\n二\r\n\r\n") + added + ToAnsi(u"三\r\n")));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Selected() == 2; }));
    TypeCombination("Down", tool->List());
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Selected() == 3; }))
        << "the Alt let go opened no menu to take the next key";
}

// A UTF-8 file stays UTF-8, the lines not edited byte for byte.
TEST_F(MacroEditing, F2EditsTheSelectedMacroInItsFilesOwnEncoding) {
    const auto tool = Start(ToUtf8(u"こんにちは♥\tあいさつ\nまたね\n"));
    tool->Select(0);
    TypeCombination("F2", tool->List());
    HWND dialog = tool->WaitForModal(L"マクロの編集");
    EXPECT_TRUE(e2e::WaitFor([&] {
        return e2e::ItemText(dialog, IDC_MACRO_TITLE) == L"あいさつ" &&
               e2e::ItemText(dialog, IDC_MACRO_LINE_FIRST) == L"こんにちは♥";
    }));
    SetDlgItemTextW(dialog, IDC_MACRO_LINE_FIRST + 1, L"よろしく♪");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(FileBecomes(ToUtf8(u"こんにちは♥\\nよろしく♪\tあいさつ\nまたね\n")));
}

// A right click acts on the row clicked; under its menu the list is never
// read again: an outside edit of that row makes the command refuse rather
// than turn it onto another macro, and is never written over.
TEST_F(MacroEditing, ARightClickActsOnTheRowClickedAndNoReloadComesUnderItsMenu) {
    const auto tool = Start(ToAnsi(u"一\r\n二\r\n三\r\n"));
    tool->Select(0);
    ASSERT_TRUE(e2e::OpenMenuOn(*tool, 2));
    EXPECT_EQ(tool->Selected(), 2) << "the row clicked";

    const std::uintptr_t looks = tool->CountOf(window_counts::kFileLooks);
    const std::uintptr_t reloads = tool->CountOf(window_counts::kReloads);
    const std::string outside = ToAnsi(u"一\r\n二\r\n参\r\n");
    WriteBytes(File(), outside);
    ASSERT_TRUE(e2e::WaitFor([&] { return tool->CountOf(window_counts::kFileLooks) > looks; }));
    EXPECT_EQ(tool->CountOf(window_counts::kReloads), reloads) << "nothing read under the menu";
    TypeCombination("Down Down Down Return");  // マクロを削除, to the menu that has the keys
    EXPECT_NE(tool->AnswerBox(IDYES).find(L"「三」を削除"), std::wstring::npos);
    EXPECT_NE(tool->AnswerBox().find(L"外で変更"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(File()), outside) << "the other program's row kept";
    EXPECT_TRUE(tool->Shows({L"一", L"二", L"参"}));
}

// A system code page of UTF-8 is an option many Japanese users turn on: a
// Shift_JIS file is still CP932, and no byte outside the edited line changes.
TEST_F(MacroEditing, OnAUtf8SystemAShiftJisFileIsListedAndEditedAsCp932) {
    std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro-utf8.exe", Exe(),
                               std::filesystem::copy_options::overwrite_existing);
    const std::string last = ToAnsi(u"またね\t別れ\r\n");
    const auto tool = Start(ToAnsi(u"こんにちは\tあいさつ\r\n") + last);
    ASSERT_EQ(tool->CountOf(window_counts::kCodePage), 65001u) << "the manifest's code page";
    EXPECT_EQ(tool->Titles(), (std::vector<std::wstring>{L"あいさつ", L"別れ"}));
    tool->Select(0);
    TypeCombination("F2", tool->List());
    HWND dialog = tool->WaitForModal(L"マクロの編集");
    EXPECT_TRUE(
        e2e::WaitFor([&] { return e2e::ItemText(dialog, IDC_MACRO_LINE_FIRST) == L"こんにちは"; }));
    SetDlgItemTextW(dialog, IDC_MACRO_TITLE, L"朝のあいさつ");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(FileBecomes(ToAnsi(u"こんにちは\t朝のあいさつ\r\n") + last));
    EXPECT_TRUE(tool->Shows({L"朝のあいさつ", L"別れ"}));
}

}  // namespace
}  // namespace kiv

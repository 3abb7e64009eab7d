// Macros changed from the tool, with real key presses: the commands' keys on
// the list, the macro dialog, a macro's own hotkey with the game in front.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "support/temp_dir.h"
#include "tool_process.h"

namespace kiv {
namespace {

using e2e::ToolProcess;
using e2e::TypeCombination;
using standin::Hex;
using standin::StandinClient;
using test::ReadBytes;
using test::WriteBytes;

// The macro dialog's fields (resource.h).
constexpr int kTitleField = 301;
constexpr int kFirstLineField = 302;

class MacroEditing : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale";
        std::filesystem::copy_file(standin::ProgramDirectory() / L"kivmacro.exe",
                                   dir_.Path("chat.exe"));
    }
    std::filesystem::path File() const { return dir_.Path("chat.txt"); }
    std::unique_ptr<ToolProcess> Start(const std::string& macros) {
        WriteBytes(File(), macros);
        auto tool = std::make_unique<ToolProcess>(dir_.Path("chat.exe"));
        EXPECT_TRUE(tool->Ready());
        return tool;
    }
    // The modal window the keys opened, once its caption reads `caption`.
    static HWND Modal(const ToolProcess& tool, const std::wstring& caption) {
        HWND found = nullptr;
        EXPECT_TRUE(e2e::WaitFor([&] {
            found = e2e::FindProcessWindow(tool.Pid(), L"#32770", tool.Main());
            return found != nullptr && e2e::TextOf(found) == caption;
        })) << "no window "
            << ToUtf8(std::u16string(caption.begin(), caption.end()));
        return found;
    }
    // A control's text in another process: its own WM_GETTEXT, which Windows
    // carries across (GetWindowText would not ask it).
    static std::wstring FieldText(HWND dialog, int id) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, id, text, 256);
        return text;
    }
    bool FileBecomes(const std::string& bytes) {
        return e2e::WaitFor([&] { return ReadBytes(File()) == bytes; });
    }

    test::TempDir dir_;
};

TEST_F(MacroEditing, InsertAddsAfterTheSelectedMacroAndSelectsIt) {
    const auto tool = Start(ToAnsi(u"一\r\n二\r\n"));
    tool->Select(0);
    TypeCombination("Insert", tool->List());
    HWND dialog = Modal(*tool, L"新しいマクロ");
    SetDlgItemTextW(dialog, kTitleField, L"回復依頼");
    SetDlgItemTextW(dialog, kFirstLineField, L"回復お願いします");
    SetDlgItemTextW(dialog, kFirstLineField + 1, L"<now>");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(FileBecomes(ToAnsi(u"一\r\n回復お願いします\\n<now>\t回復依頼\r\n二\r\n")));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Selected() == 1; }));
    EXPECT_EQ(tool->Titles(), (std::vector<std::wstring>{L"一", L"回復依頼", L"二"}));
}

// A file saved as UTF-8 stays UTF-8, characters CP932 lacks included; the
// lines not edited keep their bytes.
TEST_F(MacroEditing, F2EditsTheSelectedMacroInItsFilesOwnEncoding) {
    const std::string before = ToUtf8(u"こんにちは♥\tあいさつ\nまたね\n");
    const auto tool = Start(before);
    tool->Select(0);
    TypeCombination("F2", tool->List());
    HWND dialog = Modal(*tool, L"マクロの編集");
    EXPECT_TRUE(e2e::WaitFor([&] {
        return FieldText(dialog, kTitleField) == L"あいさつ" &&
               FieldText(dialog, kFirstLineField) == L"こんにちは♥";
    }));
    SetDlgItemTextW(dialog, kFirstLineField + 1, L"よろしく♪");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(FileBecomes(ToUtf8(u"こんにちは♥\\nよろしく♪\tあいさつ\nまたね\n")));
}

TEST_F(MacroEditing, DeleteAsksNamingTheMacroAndUndoBringsTheFileBack) {
    const std::string before = ToAnsi(u"一\r\n\r\n二\r\n三\r\n");
    const auto tool = Start(before);
    tool->Select(1);
    TypeCombination("Delete", tool->List());
    HWND box = Modal(*tool, L"KIV 会話マクロ");
    EXPECT_TRUE(e2e::WaitFor([&] {
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        return std::wstring(text).find(L"「二」を削除") != std::wstring::npos;
    }));
    PostMessageW(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(FileBecomes(ToAnsi(u"一\r\n\r\n三\r\n")));
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Selected() == 1; })) << "the one in its place";
    TypeCombination("ctrl+z", tool->List());
    EXPECT_TRUE(FileBecomes(before)) << "byte for byte";
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Titles().size() == 3; }));
}

TEST_F(MacroEditing, AltDownSwapsWithTheNextMacroAndTheSelectionFollows) {
    const auto tool = Start("a\r\n\r\nb\r\nc\r\n");
    tool->Select(0);
    TypeCombination("alt+Down", tool->List());
    EXPECT_TRUE(FileBecomes("b\r\n\r\na\r\nc\r\n")) << "the blank line stays where it was";
    EXPECT_TRUE(e2e::WaitFor([&] { return tool->Selected() == 1; }));
}

// Never over an edit made outside the tool: nothing is written, the list is
// read again and the user told.
TEST_F(MacroEditing, AnOutsideEditWhileTheDialogIsOpenIsKept) {
    const auto tool = Start("a\r\nb\r\n");
    tool->Select(0);
    TypeCombination("F2", tool->List());
    HWND dialog = Modal(*tool, L"マクロの編集");
    WriteBytes(File(), "outside\r\nb\r\n");
    SetDlgItemTextW(dialog, kFirstLineField, L"mine");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(dialog); }));
    HWND told = Modal(*tool, L"KIV 会話マクロ");
    EXPECT_TRUE(e2e::WaitFor([&] {
        wchar_t text[512] = {};
        GetDlgItemTextW(told, 0xFFFF, text, 512);
        return std::wstring(text).find(L"外で変更") != std::wstring::npos;
    }));
    PostMessageW(told, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ReadBytes(File()), "outside\r\nb\r\n");
    EXPECT_TRUE(e2e::WaitFor([&] {
        return tool->Titles() == std::vector<std::wstring>{L"outside", L"b"};
    }));
}

TEST_F(MacroEditing, AMacrosOwnHotkeySaysItWithTheGameInFront) {
    StandinClient client(dir_.Path("record.txt"));
    ASSERT_TRUE(client.Started());
    WriteBytes(dir_.Path("chat.ini"), ToAnsi(u"[MacroHotkeys]\r\nCtrl+Alt+M=二つ目\r\n"));
    const auto tool = Start(ToAnsi(u"一つ目\r\n二つ目\r\n"));
    tool->Select(0);
    SetForegroundWindow(StandinClient::MainWindow());
    ASSERT_TRUE(e2e::WaitFor([] { return GetForegroundWindow() == StandinClient::MainWindow(); }));
    TypeCombination("ctrl+alt+m");
    const auto events = client.WaitForEvents(3);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].detail, Hex(ToAnsi(u"二つ目")));
    EXPECT_EQ(tool->Selected(), 0) << "the selection stays";
    EXPECT_EQ(GetForegroundWindow(), StandinClient::MainWindow());
}

}  // namespace
}  // namespace kiv

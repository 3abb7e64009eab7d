// What the tool asks of the Windows shell: files opened as text, never run.

#include "platform/shell_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "app/notices/notice_port_win32.h"
#include "platform/ansi_text.h"
#include "platform/handle_win32.h"
#include "platform/single_copy.h"
#include "platform/single_copy_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"
#include "support/in_process_window.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

// The Notepad window showing `name`, once there.
HWND NotepadShowing(const std::wstring& name) {
    HWND found = nullptr;
    test::PumpUntil([&] {
        for (found = FindWindowW(L"Notepad", nullptr); found != nullptr;
             found = FindWindowExW(nullptr, found, L"Notepad", nullptr)) {
            if (test::TextOf(found).find(name) != std::wstring::npos) return true;
        }
        return false;
    });
    return found;
}

TEST(OpenInEditor, OpensATextFileAndABatchFileAsTextNeverRunningIt) {
    test::TempDir dir;
    test::WriteBytes(dir.Path("chat.txt"), "a\r\n");
    const std::string command = "echo ran > " + ToAnsi(dir.File("ran.txt")) + "\r\n";
    test::WriteBytes(dir.Path("macros.bat"), command);
    for (const char* name : {"chat.txt", "macros.bat"}) {
        ASSERT_EQ(OpenInEditor(nullptr, dir.File(name)), 0u) << name;
        HWND notepad = NotepadShowing(std::filesystem::path(name).wstring());
        ASSERT_NE(notepad, nullptr) << name;
        PostMessageW(notepad, WM_CLOSE, 0, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("ran.txt")));
    EXPECT_EQ(test::ReadBytes(dir.Path("macros.bat")), command);
}

// The real call shows Windows' elevation prompt, which no test can answer
// (and Wine never shows): a recording stands in for it.
struct ShellRequest {
    std::wstring verb, file, folder;
};
ShellRequest asked;
DWORD shellAnswer = 0;  // 0: started

BOOL WINAPI RecordShellRequest(SHELLEXECUTEINFOW* info) {
    asked = {info->lpVerb, info->lpFile, info->lpDirectory};
    if (shellAnswer == 0) return TRUE;
    SetLastError(shellAnswer);
    return FALSE;
}

class Relaunching : public testing::Test {
  protected:
    void SetUp() override { SetShellExecuteCall(RecordShellRequest); }
    void TearDown() override { SetShellExecuteCall(nullptr); }
};

TEST_F(Relaunching, RunsTheProgramAsAdministratorFromItsFolderAndTheNoticePortSaysWhyItFailed) {
    DWORD error = 0;
    shellAnswer = 0;
    EXPECT_EQ(RelaunchAsAdministrator(nullptr, u"C:\\ツール\\chat.exe", error), Relaunch::Started);
    EXPECT_EQ(asked.verb, L"runas");
    EXPECT_EQ(asked.file, L"C:\\ツール\\chat.exe");
    EXPECT_EQ(asked.folder, L"C:\\ツール") << "whatever this copy's current folder";
    EXPECT_EQ(RelaunchAsAdministrator(nullptr, u"E:\\chat.exe", error), Relaunch::Started);
    EXPECT_EQ(asked.folder, L"E:\\") << "the root, not the drive's current folder";
    shellAnswer = ERROR_CANCELLED;
    EXPECT_EQ(RelaunchAsAdministrator(nullptr, u"C:\\chat.exe", error), Relaunch::Declined);
    shellAnswer = ERROR_ACCESS_DENIED;
    EXPECT_EQ(RelaunchAsAdministrator(nullptr, u"C:\\chat.exe", error), Relaunch::Failed);
    EXPECT_EQ(error, DWORD{ERROR_ACCESS_DENIED});

    // The notices' questions over the window, answered as a user would; asked
    // only while the user is at the window and it is free.
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    bool busy = false;
    WindowNoticePort port({.handle = window,
                           .programPath = u"C:\\chat.exe",
                           .settingsPath = u"C:\\chat.ini",
                           .busy = [&] { return busy; },
                           .saveSettings = [] {},
                           .releaseHotkeys = [] {},
                           .registerHotkeys = [] {},
                           .close = [] {}});
    for (const int answer : {IDYES, IDNO}) {
        test::ModalAnswerer answerer(GetCurrentThreadId(), answer);
        EXPECT_EQ(port.AskYesNo(u"管理者として起動し直しますか?"), answer == IDYES);
        ASSERT_TRUE(answerer.Answered());
        EXPECT_EQ(answerer.Text(), L"管理者として起動し直しますか?");
    }
    // Windows' foreground lock may keep a test process from the front (Wine
    // has none): then only the refusals below are checked.
    SetForegroundWindow(window);
    if (test::PumpUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(2))) {
        EXPECT_TRUE(port.CanAskNow());
    }
    busy = true;
    EXPECT_FALSE(port.CanAskNow()) << "a delivery holds the thread";
    busy = false;
    EnableWindow(window, FALSE);
    EXPECT_FALSE(port.CanAskNow()) << "under a dialog of its own";
    EnableWindow(window, TRUE);

    std::u16string reason;  // the shell still refuses
    EXPECT_EQ(port.RelaunchAsAdministrator(reason), Relaunch::Failed);
    EXPECT_EQ(reason, SystemErrorText(ERROR_ACCESS_DENIED));
    // The copy started finds the hand-over, and waits for this one to end rather than ending.
    const std::u16string handOver = HandOverName(SingleCopyName(NormalisedPath(u"C:\\chat.ini")));
    const auto handingOver = [&] {
        return static_cast<bool>(UniqueHandle(OpenEventW(SYNCHRONIZE, FALSE, Wide(handOver))));
    };
    EXPECT_FALSE(handingOver()) << "none started";
    shellAnswer = 0;
    EXPECT_EQ(port.RelaunchAsAdministrator(reason), Relaunch::Started);
    EXPECT_TRUE(handingOver()) << "kept while this copy runs";
    DestroyWindow(window);
}

}  // namespace
}  // namespace kiv

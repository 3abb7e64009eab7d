// What the tool asks of the Windows shell: files opened as text, never run.

#include "app/shell_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>

#include <filesystem>
#include <regex>

#include "platform/ansi_text.h"
#include "support/in_process_window.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

// The Notepad window showing `name`, once there.
HWND NotepadShowing(const std::wstring& name) {
    HWND found = nullptr;
    test::PumpUntil([&] {
        found = nullptr;
        for (HWND w = FindWindowW(L"Notepad", nullptr); w != nullptr;
             w = FindWindowExW(nullptr, w, L"Notepad", nullptr)) {
            wchar_t title[MAX_PATH] = {};
            GetWindowTextW(w, title, MAX_PATH);
            if (std::wstring(title).find(name) != std::wstring::npos) found = w;
        }
        return found != nullptr;
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

}  // namespace
}  // namespace kiv

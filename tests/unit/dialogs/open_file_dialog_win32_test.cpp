// The system's file-open dialog as the tool calls it, driven like a user
// would: the path chosen comes back whole, a cancel gives nothing, and the
// process's current folder stays where it was either way.

#include "dialogs/open_file_dialog_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "support/in_process_window.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

constexpr int kFileNameField = 0x47C;  // cmb13: the Explorer-style dialog's name box

TEST(OpenFileDialog, GivesThePathChosenOrNothingAndKeepsTheCurrentFolder) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.Path("表"));
    test::WriteBytes(dir.Path("表") / "chat.txt", "a\r\n");
    test::WriteBytes(dir.Path("表") / "other.txt", "b\r\n");
    const std::filesystem::path before = std::filesystem::current_path();
    const std::u16string current = (dir.Path("表") / "chat.txt").u16string();
    const std::u16string filter = u"テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*";

    const std::wstring chosen = (dir.Path("表") / "other.txt").wstring();
    test::DialogDriver choose(GetCurrentThreadId(), [&](HWND dialog) {
        SetDlgItemTextW(dialog, kFileNameField, chosen.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const OpenFileDialogResult result = ShowOpenFileDialog(nullptr, u"", current, filter);
    ASSERT_TRUE(choose.Drove());
    EXPECT_EQ(result.path, std::u16string(chosen.begin(), chosen.end()));
    EXPECT_EQ(result.error, 0u);
    EXPECT_EQ(std::filesystem::current_path(), before);

    test::DialogDriver cancel(GetCurrentThreadId(),
                              [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    const OpenFileDialogResult cancelled = ShowOpenFileDialog(nullptr, u"", current, filter);
    ASSERT_TRUE(cancel.Drove());
    EXPECT_EQ(cancelled.path, u"");
    EXPECT_EQ(cancelled.error, 0u) << "a cancel is no failure to tell";
}

}  // namespace
}  // namespace kiv

// The main window in this process, as if the tool ran from a fresh folder:
// what only the real window shows, checked where Wine cannot show it from
// outside.

#include "app/main_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "app/tool_menu.h"
#include "platform/ansi_text.h"
#include "support/in_process_window.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

class MainWindowTest : public testing::Test {
  protected:
    // The tool's window for dir_/chat.exe, up and hidden.
    std::unique_ptr<MainWindow> Open() {
        auto tool = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), dir_.File("chat.exe"));
        EXPECT_TRUE(tool->Open(SW_HIDE));
        return tool;
    }
    void WriteMacros(const std::u16string& text) {
        test::WriteBytes(dir_.Path("chat.txt"), ToAnsi(text));
    }

    test::TempDir dir_;
};

// A window has no system menu of its own until GetSystemMenu(window, FALSE)
// makes a copy; items added while it first opens go into a copy that is not
// the one on screen (on Windows; Wine cannot show it across processes, so
// this looks in the tool's own process): the copy must hold them from the start.
TEST_F(MainWindowTest, TheWindowMenuHoldsTheToolsItemsBeforeItFirstOpens) {
    WriteMacros(u"a\r\n");
    const auto tool = Open();
    HMENU menu = GetSystemMenu(tool->Handle(), FALSE);
    for (const MenuItem& item : ToolMenuItems()) {
        wchar_t text[64] = {};
        EXPECT_GT(GetMenuStringW(menu, static_cast<UINT>(item.command), text, 64, MF_BYCOMMAND), 0)
            << static_cast<unsigned>(item.command);
        EXPECT_EQ(std::u16string(text, text + wcslen(text)), item.text);
    }
}

}  // namespace
}  // namespace kiv

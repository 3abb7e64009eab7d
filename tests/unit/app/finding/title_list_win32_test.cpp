// The entry a right click lands on, in a list scrolled away from its top, as
// a long macro file is. Runs with a real list box of this process.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/finding/title_list_win32.h"

namespace kiv {
namespace {

TEST(EntryAt, CountsFromTheEntryShownAtTheTopAndFindsNoneBelowTheLast) {
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_VSCROLL | LBS_NOTIFY, 0, 0, 200,
                                100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < 30; ++i) {
        const std::wstring title = L"title " + std::to_wstring(i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    }
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(height, 0);
    SendMessageW(list, LB_SETTOPINDEX, 10, 0);
    ASSERT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 10);
    EXPECT_EQ(EntryAt(list, POINT{5, height * 2 + 1}), 12);
    EXPECT_EQ(EntryAt(list, POINT{5, 0}), 10);
    EXPECT_EQ(EntryAt(list, POINT{5, -1}), -1);

    SendMessageW(list, LB_RESETCONTENT, 0, 0);  // two entries, blank space below them
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"a"));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"b"));
    EXPECT_EQ(EntryAt(list, POINT{5, height + 1}), 1);
    EXPECT_EQ(EntryAt(list, POINT{5, height * 2 + 1}), -1) << "no entry below the last";
    DestroyWindow(list);
}

}  // namespace
}  // namespace kiv

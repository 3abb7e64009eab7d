// The tool's dialogs and message boxes open over the tool, wherever it is,
// and never past the edge of its monitor's work area.

#include "platform/owned_window_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>

#include "app/editing/macro_dialog_win32.h"
#include "platform/handle_win32.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

// Centred on the owner where the work area lets it be, else against the
// work area's edge on that side; never outside it.
void ExpectOver(const RECT& owned, const RECT& owner, const RECT& work) {
    EXPECT_GE(owned.left, work.left);
    EXPECT_GE(owned.top, work.top);
    EXPECT_LE(owned.right, work.right);
    EXPECT_LE(owned.bottom, work.bottom);
    const int dx = (owned.left + owned.right) - (owner.left + owner.right);
    const int dy = (owned.top + owned.bottom) - (owner.top + owner.bottom);
    EXPECT_TRUE(std::abs(dx) <= 2 || owned.left == work.left || owned.right == work.right) << dx;
    EXPECT_TRUE(std::abs(dy) <= 2 || owned.top == work.top || owned.bottom == work.bottom) << dy;
}

// The owner in each corner of the work area and in its middle; `open` shows
// the owned window and returns once it was answered.
void ForOwnerInEachCorner(const std::function<void(HWND owner)>& open) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    constexpr int kWidth = 240;
    constexpr int kHeight = 160;
    const POINT places[] = {{work.left, work.top},
                            {work.right - kWidth, work.top},
                            {work.left, work.bottom - kHeight},
                            {work.right - kWidth, work.bottom - kHeight},
                            {(work.left + work.right - kWidth) / 2 + 50, work.top + 40}};
    for (const POINT at : places) {
        SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
        UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, at.x, at.y,
                                           kWidth, kHeight, nullptr, nullptr, nullptr, nullptr));
        RECT owned{};
        test::DialogDriver driver(GetCurrentThreadId(), [&](HWND dialog) {
            GetWindowRect(dialog, &owned);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        open(owner.Get());
        ASSERT_TRUE(driver.Drove());
        RECT ownerRect{};
        GetWindowRect(owner.Get(), &ownerRect);
        ExpectOver(owned, ownerRect, work);
    }
}

TEST(OwnedWindow, AMessageBoxOpensOverItsOwner) {
    ForOwnerInEachCorner([](HWND owner) {
        MessageBoxOverOwner(owner, L"マクロファイルを読み込めませんでした。", L"KIV 会話マクロ",
                            MB_OKCANCEL);
    });
}

TEST(OwnedWindow, ADialogOpensOverItsOwner) {
    ForOwnerInEachCorner([](HWND owner) {
        MacroDialogRequest request;
        request.isNew = true;
        ShowMacroDialog(owner, GetModuleHandleW(nullptr), request);
    });
}

}  // namespace
}  // namespace kiv

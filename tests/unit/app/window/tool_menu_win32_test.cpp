// The tool's menu as Windows shows it, the item chosen, and the items' keys as commands.

#include "app/window/tool_menu_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

#include "platform/handle_win32.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

TEST(ShowToolMenu, ShowsTheItemsAsTheStateSaysAndReturnsTheOneChosen) {
    UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(owner.Get());
    const MenuState state{.topMost = true, .selected = true, .canMoveDown = true};
    const ToolSubmenus submenus{.recentFiles = {{u"&1 a.txt  C:\\m", u"&2 b.txt  C:\\m"}, 0},
                                .sendTo = {{u"自動", u"main (PID 7)"}, 1, u"(なぜ)"}};
    using Case = std::pair<std::vector<WPARAM>, std::uint32_t>;  // keys, the ID chosen
    // Esc: nothing. Down, Down, Enter: the second item. Up (the last, 送信先),
    // Right, Down, Enter: its second. Up, Up (最近使ったファイル), Right, then
    // Down: its second file; Up: 一覧を消去, its last.
    for (const Case& test :
         {Case{{VK_ESCAPE}, 0}, Case{{VK_DOWN, VK_DOWN, VK_RETURN}, 0x0140},
          Case{{VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, SendToItemId(1)},
          Case{{VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, RecentFileItemId(1)},
          Case{{VK_UP, VK_UP, VK_RIGHT, VK_UP, VK_RETURN}, kClearRecentFilesId}}) {
        std::vector<std::pair<std::wstring, UINT>> shown;
        std::vector<std::pair<std::wstring, UINT>> sendTo;  // 送信先's items
        const DWORD thread = GetCurrentThreadId();
        std::thread user([&] {
            HWND popup = test::ShownMenuOf(thread, owner.Get());
            if (popup == nullptr) {
                ADD_FAILURE() << "no menu came";
                return;
            }
            auto* menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
            const auto read = [](HMENU from, std::vector<std::pair<std::wstring, UINT>>& into) {
                for (int i = 0; i < GetMenuItemCount(from); ++i) {
                    wchar_t text[64] = {};
                    GetMenuStringW(from, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                    const UINT flags = GetMenuState(from, static_cast<UINT>(i), MF_BYPOSITION);
                    // A separator shows greyed too, as Windows keeps them.
                    into.emplace_back(text, (flags & MF_SEPARATOR) != 0
                                                ? MF_SEPARATOR
                                                : flags & (MF_CHECKED | MF_GRAYED));
                }
            };
            read(menu, shown);
            read(GetSubMenu(menu, GetMenuItemCount(menu) - 1), sendTo);
            for (const WPARAM key : test.first) PostMessageW(popup, WM_KEYDOWN, key, 0);
        });
        const std::uint32_t chosen = ShowToolMenu(owner.Get(), {10, 10}, state, submenus);
        user.join();
        EXPECT_EQ(chosen, test.second);
        ASSERT_EQ(shown.size(), ToolMenuItems().size() + 2);
        EXPECT_EQ(shown[shown.size() - 2].first, L"最近使ったファイル(&F)");
        EXPECT_EQ(shown.back().first, L"送信先(&G)");
        EXPECT_EQ(sendTo, (std::vector<std::pair<std::wstring, UINT>>{{L"自動", 0},
                                                                      {L"main (PID 7)", MF_CHECKED},
                                                                      {L"", MF_SEPARATOR},
                                                                      {L"(なぜ)", MF_GRAYED}}))
            << "the target ticked; why the title remembered chose none, greyed, last";
        for (std::size_t i = 0; i + 2 < shown.size(); ++i) {
            const MenuItem& item = ToolMenuItems()[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(std::u16string(shown[i].first.begin(), shown[i].first.end()), item.text);
            if (item.command == MenuCommand::Separator) {
                EXPECT_EQ(shown[i].second, static_cast<UINT>(MF_SEPARATOR));
                continue;
            }
            const UINT flags = (IsTicked(item.command, state).value_or(false) ? MF_CHECKED : 0u) |
                               (IsEnabled(item.command, state) ? 0u : MF_GRAYED);
            EXPECT_EQ(shown[i].second, flags);
        }
    }
}

// Each item's key, with its modifiers held and only then, sends the item's key command.
LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(LOWORD(wParam)));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(CreateToolMenuKeys, EachItemsKeyWithItsModifiersSendsItsCommand) {
    const WNDCLASSW recorder{0,       Record,  0,       0,       GetModuleHandleW(nullptr),
                             nullptr, nullptr, nullptr, nullptr, L"KivTestRecorder"};
    RegisterClassW(&recorder);
    UniqueWindow window(CreateWindowExW(0, L"KivTestRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, nullptr, nullptr));
    const UniqueAccelerators keys(CreateToolMenuKeys());
    ASSERT_TRUE(keys);
    const auto press = [&](WORD key, std::uint32_t modifiers) {
        BYTE state[256] = {};
        if ((modifiers & kModCtrl) != 0) state[VK_CONTROL] = 0x80;
        if ((modifiers & kModAlt) != 0) state[VK_MENU] = 0x80;
        SetKeyboardState(state);
        SetWindowLongPtrW(window.Get(), GWLP_USERDATA, 0);
        MSG message{};
        message.hwnd = window.Get();
        message.message = (modifiers & kModAlt) != 0 ? WM_SYSKEYDOWN : WM_KEYDOWN;
        message.wParam = key;
        message.lParam = (modifiers & kModAlt) != 0 ? 1 << 29 : 0;  // the Alt bit
        TranslateAcceleratorW(window.Get(), keys.Get(), &message);
        return static_cast<std::uint32_t>(GetWindowLongPtrW(window.Get(), GWLP_USERDATA));
    };
    for (const MenuItem& item : ToolMenuItems()) {
        if (!item.key) continue;
        SCOPED_TRACE(static_cast<unsigned>(item.command));
        EXPECT_EQ(press(static_cast<WORD>(item.key->key), item.key->modifiers),
                  KeyCommandId(item.command));
        if (item.key->modifiers != 0) {
            EXPECT_EQ(press(static_cast<WORD>(item.key->key), 0), 0u)
                << "not without its modifiers";
        }
    }
    BYTE none[256] = {};
    SetKeyboardState(none);
}

}  // namespace
}  // namespace kiv

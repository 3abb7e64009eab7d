#include "app/tool_menu_win32.h"

namespace kiv {
namespace {

void AppendItems(HMENU menu, const MenuState& state) {
    for (const MenuItem& item : ToolMenuItems()) {
        const std::optional<bool> ticked = IsTicked(item.command, state);
        AppendMenuW(menu, MF_STRING | (ticked.value_or(false) ? MF_CHECKED : MF_UNCHECKED),
                    static_cast<UINT_PTR>(item.command),
                    reinterpret_cast<const wchar_t*>(item.text.data()));
    }
}

}  // namespace

void AddToSystemMenu(HWND window, const MenuState& state) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendItems(menu, state);
}

void TickSystemMenu(HWND window, const MenuState& state) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    for (const MenuItem& item : ToolMenuItems()) {
        if (const std::optional<bool> ticked = IsTicked(item.command, state)) {
            CheckMenuItem(menu, static_cast<UINT>(item.command),
                          MF_BYCOMMAND | (*ticked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
}

std::optional<MenuCommand> ShowToolMenu(HWND owner, POINT screen, const MenuState& state) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return std::nullopt;
    AppendItems(menu, state);
    const auto chosen = static_cast<std::uint32_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                       owner, nullptr));
    DestroyMenu(menu);
    return ToolMenuCommand(chosen);
}

}  // namespace kiv

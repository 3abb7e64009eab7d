#include "app/window/tool_menu_win32.h"

#include <vector>

#include "app/common/app_texts.h"

namespace kiv {
namespace {

UINT Flags(const MenuItem& item, const MenuState& state) {
    if (item.command == MenuCommand::Separator) return MF_SEPARATOR;
    return MF_STRING | (IsTicked(item.command, state).value_or(false) ? MF_CHECKED : MF_UNCHECKED) |
           (IsEnabled(item.command, state) ? MF_ENABLED : MF_GRAYED);
}

void Empty(HMENU menu) {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
}

// 送信先's items, in place of those it had; one target, so a radio mark.
void FillSendTo(HMENU menu, const SendToMenu& sendTo) {
    Empty(menu);
    std::size_t count = 0;
    for (; count < sendTo.items.size() && count < kMostSendToItems; ++count) {
        AppendMenuW(menu, MF_STRING, SendToItemId(count),
                    reinterpret_cast<const wchar_t*>(sendTo.items[count].c_str()));
    }
    if (sendTo.ticked < count) {
        CheckMenuRadioItem(menu, 0, static_cast<UINT>(count - 1), static_cast<UINT>(sendTo.ticked),
                           MF_BYPOSITION);
    }
    if (!sendTo.note.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 0,
                    reinterpret_cast<const wchar_t*>(sendTo.note.c_str()));
    }
}

void FillRecentFiles(HMENU menu, const RecentFilesMenu& recent) {
    Empty(menu);
    std::size_t count = 0;
    for (; count < recent.items.size() && count < kMostRecentFileItems; ++count) {
        AppendMenuW(menu, MF_STRING | (recent.ticked == count ? MF_CHECKED : MF_UNCHECKED),
                    RecentFileItemId(count),
                    reinterpret_cast<const wchar_t*>(recent.items[count].c_str()));
    }
    if (count == 0) {
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 0,
                    reinterpret_cast<const wchar_t*>(texts::kNoRecentFilesItem.data()));
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (count == 0 ? MF_GRAYED : MF_ENABLED), kClearRecentFilesId,
                reinterpret_cast<const wchar_t*>(texts::kClearRecentFilesItem.data()));
}

// Mark the submenus' items, which as submenus have no ID of their own.
constexpr ULONG_PTR kSendToMark = 0x4B495653;
constexpr ULONG_PTR kRecentFilesMark = 0x4B495246;

// A submenu by its mark: other programs (and Wine itself) add to a window's
// menu, so 送信先 is not always the last item.
HMENU FindSubmenu(HMENU menu, ULONG_PTR mark) {
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) && info.dwItemData == mark &&
            info.hSubMenu != nullptr) {
            return info.hSubMenu;
        }
    }
    return nullptr;
}

void FillSubmenus(HMENU menu, const ToolSubmenus& submenus) {
    if (HMENU recent = FindSubmenu(menu, kRecentFilesMark))
        FillRecentFiles(recent, submenus.recentFiles);
    if (HMENU sendTo = FindSubmenu(menu, kSendToMark)) FillSendTo(sendTo, submenus.sendTo);
}

void AppendSubmenu(HMENU menu, std::u16string_view text, ULONG_PTR mark) {
    HMENU submenu = CreatePopupMenu();  // the menu it is in destroys it
    if (submenu == nullptr) return;
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                reinterpret_cast<const wchar_t*>(text.data()));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    info.dwItemData = mark;
    SetMenuItemInfoW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
}

void AppendItems(HMENU menu, const MenuState& state, const ToolSubmenus& submenus) {
    for (const MenuItem& item : ToolMenuItems()) {
        AppendMenuW(menu, Flags(item, state), static_cast<UINT_PTR>(item.command),
                    reinterpret_cast<const wchar_t*>(item.text.data()));
    }
    AppendSubmenu(menu, texts::kRecentFilesItem, kRecentFilesMark);
    AppendSubmenu(menu, texts::kSendToItem, kSendToMark);
    FillSubmenus(menu, submenus);
}

}  // namespace

void AddToSystemMenu(HWND window, const MenuState& state, const ToolSubmenus& submenus) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendItems(menu, state, submenus);
}

void UpdateSystemMenu(HWND window, const MenuState& state, const ToolSubmenus& submenus) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    for (const MenuItem& item : ToolMenuItems()) {
        if (item.command == MenuCommand::Separator) continue;
        const auto id = static_cast<UINT>(item.command);
        if (const std::optional<bool> ticked = IsTicked(item.command, state)) {
            CheckMenuItem(menu, id, MF_BYCOMMAND | (*ticked ? MF_CHECKED : MF_UNCHECKED));
        }
        EnableMenuItem(menu, id,
                       MF_BYCOMMAND | (IsEnabled(item.command, state) ? MF_ENABLED : MF_GRAYED));
    }
    FillSubmenus(menu, submenus);
}

std::uint32_t ShowToolMenu(HWND owner, POINT screen, const MenuState& state,
                           const ToolSubmenus& submenus) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 0;
    AppendItems(menu, state, submenus);
    const auto chosen = static_cast<std::uint32_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                       owner, nullptr));
    DestroyMenu(menu);
    return chosen;
}

HACCEL CreateToolMenuKeys() {
    std::vector<ACCEL> keys;
    for (const MenuItem& item : ToolMenuItems()) {
        if (!item.key) continue;
        BYTE flags = FVIRTKEY;
        if ((item.key->modifiers & kModCtrl) != 0) flags |= FCONTROL;
        if ((item.key->modifiers & kModAlt) != 0) flags |= FALT;
        if ((item.key->modifiers & kModShift) != 0) flags |= FSHIFT;
        keys.push_back({flags, static_cast<WORD>(item.key->key),
                        static_cast<WORD>(KeyCommandId(item.command))});
    }
    return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

// Insert, F2, Delete, Alt+Up and the others. The Alt of Alt+Up is then let
// go alone as far as DefWindowProc can see, the Up having gone to the
// accelerator. Windows notes keys pressed under Alt as they come in and opens
// no menu; Wine's DefWindowProc counts only what it was given and would enter
// the menu bar's keyboard mode, where the next key goes to a menu nobody
// sees. That release is kept from it.
bool ToolMenuKeys::Translate(HWND window, MSG& message) {
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_MENU &&
        (HIWORD(message.lParam) & KF_REPEAT) == 0) {
        altServedKey_ = false;
    }
    // Let go after the key, the Alt comes as WM_SYSKEYUP; before it, as WM_KEYUP.
    if ((message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
        message.wParam == VK_MENU && altServedKey_) {
        altServedKey_ = false;
        return true;
    }
    if (!keys_ || TranslateAcceleratorW(window, keys_.Get(), &message) == 0) return false;
    if (message.message == WM_SYSKEYDOWN) altServedKey_ = true;
    return true;
}

}  // namespace kiv

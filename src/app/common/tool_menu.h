#pragma once

// The tool's own menu items, shown in the window's system menu (the caption
// icon, Alt+Space) and in the list's right-click menu, with the keys that
// give the same commands: one table, so that a new item is one more row.
// Portable.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/hotkey.h"

namespace kiv {

// Also the items' IDs in the system menu, where they must stay below 0xF000
// with the low four bits clear (Windows keeps those for itself), and the
// commands the keys send.
enum class MenuCommand : std::uint32_t {
    Separator = 0,  // a line between groups, no command
    TopMost = 0x0100,
    HotkeySettings = 0x0110,
    EditMacroFile = 0x0120,
    NewMacro = 0x0130,
    EditMacro = 0x0140,
    DeleteMacro = 0x0150,
    MoveUp = 0x0160,
    MoveDown = 0x0170,
    Undo = 0x0180,
    OpenInNewTab = 0x0190,
    Favorite = 0x01A0,
    ClearUsage = 0x01B0,
    ResetCount = 0x01C0,
    Variables = 0x01D0,
};

struct MenuItem {
    MenuCommand command;
    std::u16string_view text;   // with the key after a TAB, as menus show it
    std::optional<Hotkey> key;  // while the tool's window has the focus
};

// In menu order.
std::span<const MenuItem> ToolMenuItems();

// What the menu shows ticked or greyed.
struct MenuState {
    bool topMost = false;
    bool selected = false;     // a macro is selected
    bool canMoveUp = false;    // ... and is not the first
    bool canMoveDown = false;  // ... nor the last
    bool canUndo = false;
    bool favorite = false;  // the macro selected is pinned for the palette
    bool hasUsage = false;  // the palette has counted a saying
    bool hasCount = false;  // the macro selected has a <count> said before
};
// Whether the item shows a tick, and if so whether it is ticked now.
std::optional<bool> IsTicked(MenuCommand command, const MenuState& state);
bool IsEnabled(MenuCommand command, const MenuState& state);

// Whether the command changes the macro file (the macros' editing).
bool IsEdit(MenuCommand command);

// The tool's command behind a menu ID (from WM_SYSCOMMAND or WM_COMMAND).
std::optional<MenuCommand> ToolMenuCommand(std::uint32_t id);

// 送信先, a submenu after the items: which game client the macros go to.
inline constexpr std::size_t kMostSendToItems = 32;
// Its items, 自動 then each game client running as the menu opens, and the
// one ticked; then, greyed, why the title remembered chose none (empty: no
// such line).
struct SendToMenu {
    std::vector<std::u16string> items;
    std::size_t ticked = 0;
    std::u16string note;
};
// Its items' IDs (0: 自動), in steps the system menu allows, and back.
std::uint32_t SendToItemId(std::size_t index);
std::optional<std::size_t> SendToItemIndex(std::uint32_t id);
// 最近使ったファイル, a submenu before 送信先: the macro files loaded lately,
// the one shown ticked, then 一覧を消去.
inline constexpr std::size_t kMostRecentFileItems = 8;
struct RecentFilesMenu {
    std::vector<std::u16string> items;  // RecentFileItemText
    std::optional<std::size_t> ticked;
};
// Its items' IDs (the files', then 一覧を消去's), and back; apart from
// 送信先's and the tool's commands.
std::uint32_t RecentFileItemId(std::size_t index);
inline constexpr std::uint32_t kClearRecentFilesId = 0x0480;
std::optional<std::size_t> RecentFileItemIndex(std::uint32_t id);
// `text` as a menu or a tab shows it literally: "&" doubled (no access key),
// a TAB a space (no key column).
std::u16string MenuTextAsWritten(std::u16string_view text);

// An item of 最近使ったファイル or 送信先.
bool IsSubmenuItem(std::uint32_t id);
// 最近使ったファイル's item for the file at `index` (from 0): "&1 name.txt"
// and its folder, shortened in the middle to about `kMostFolderLength`
// characters; names show as written (no access key, no key column).
inline constexpr std::size_t kMostFolderLength = 60;
std::u16string RecentFileItemText(std::size_t index, std::u16string_view path);

// A client as the player sees it named: its window title and process id,
// or, where other clients have its title, its place in the order they
// started (`startOrder`, from 1; 0 for none): "KIV (2)".
std::u16string ClientName(std::u16string_view title, std::uint32_t process,
                          std::size_t startOrder = 0);
// The same within a sentence: 「title」(PID 1234), 「KIV (2)」.
std::u16string ClientInText(std::u16string_view title, std::uint32_t process,
                            std::size_t startOrder = 0);
// A client's item: its name, the title as it is written.
std::u16string SendToItemText(std::u16string_view title, std::uint32_t process,
                              std::size_t startOrder = 0);
// 送信先's greyed line while more than one client has the title remembered.
std::u16string RememberedTitleSharedNote(std::u16string_view title);

// The ID an item's key sends as WM_COMMAND: one the system menu does not
// hold, or Windows would send it as WM_SYSCOMMAND, and not at all while the
// menu shows the item greyed from an earlier opening.
std::uint32_t KeyCommandId(MenuCommand command);
std::optional<MenuCommand> ToolMenuKeyCommand(std::uint32_t id);

// Whether `key` is one of the items' keys: a global hotkey would take it from
// the tool's own window.
bool IsToolMenuKey(const Hotkey& key);
// Why such a key is no hotkey, in the user's words.
std::u16string ToolKeyRefusal();

}  // namespace kiv

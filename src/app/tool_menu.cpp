#include "app/tool_menu.h"

#include <algorithm>
#include <array>

namespace kiv {
namespace {

constexpr std::array<MenuItem, 3> kItems{{
    {MenuCommand::EditMacroFile, u"マクロファイルを編集"},
    {MenuCommand::TopMost, u"常に手前に表示"},
    {MenuCommand::HotkeySettings, u"ホットキーの設定..."},
}};

}  // namespace

std::span<const MenuItem> ToolMenuItems() {
    return kItems;
}

std::optional<bool> IsTicked(MenuCommand command, const MenuState& state) {
    if (command == MenuCommand::TopMost) return state.topMost;
    return std::nullopt;
}

std::optional<MenuCommand> ToolMenuCommand(std::uint32_t id) {
    const auto found = std::find_if(kItems.begin(), kItems.end(), [&](const MenuItem& item) {
        return static_cast<std::uint32_t>(item.command) == id;
    });
    if (found == kItems.end()) return std::nullopt;
    return found->command;
}

}  // namespace kiv

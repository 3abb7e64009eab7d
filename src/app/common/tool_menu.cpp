#include "app/common/tool_menu.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/common/app_texts.h"

namespace kiv {
namespace {

const std::array<MenuItem, 15> kItems{{
    {MenuCommand::NewMacro, texts::kNewMacroItem, Hotkey{0, kKeyInsert}},
    {MenuCommand::EditMacro, texts::kEditMacroItem, Hotkey{0, kKeyF2}},
    {MenuCommand::DeleteMacro, texts::kDeleteMacroItem, Hotkey{0, kKeyDelete}},
    {MenuCommand::MoveUp, texts::kMoveUpItem, Hotkey{kModAlt, kKeyUp}},
    {MenuCommand::MoveDown, texts::kMoveDownItem, Hotkey{kModAlt, kKeyDown}},
    {MenuCommand::Undo, texts::kUndoItem, Hotkey{kModCtrl, 'Z'}},
    {MenuCommand::Favorite, texts::kFavoriteItem, std::nullopt},
    {MenuCommand::ClearUsage, texts::kClearUsageItem, std::nullopt},
    {MenuCommand::ResetCount, texts::kResetCountItem, std::nullopt},
    {MenuCommand::Separator, u"", std::nullopt},
    {MenuCommand::OpenInNewTab, texts::kOpenInNewTabItem, std::nullopt},
    {MenuCommand::EditMacroFile, texts::kEditMacroFileItem, std::nullopt},
    {MenuCommand::TopMost, texts::kTopMostItem, std::nullopt},
    {MenuCommand::HotkeySettings, texts::kHotkeySettingsItem, std::nullopt},
    {MenuCommand::Variables, texts::kVariablesItem, std::nullopt},
}};

}  // namespace

std::span<const MenuItem> ToolMenuItems() {
    return kItems;
}

std::optional<bool> IsTicked(MenuCommand command, const MenuState& state) {
    if (command == MenuCommand::TopMost) return state.topMost;
    if (command == MenuCommand::Favorite) return state.selected && state.favorite;
    return std::nullopt;
}

bool IsEnabled(MenuCommand command, const MenuState& state) {
    switch (command) {
        case MenuCommand::EditMacro:
        case MenuCommand::DeleteMacro:
        case MenuCommand::Favorite:
            return state.selected;
        case MenuCommand::ClearUsage:
            return state.hasUsage;
        case MenuCommand::ResetCount:
            return state.selected && state.hasCount;
        case MenuCommand::MoveUp:
            return state.canMoveUp;
        case MenuCommand::MoveDown:
            return state.canMoveDown;
        case MenuCommand::Undo:
            return state.canUndo;
        default:
            return true;
    }
}

bool IsEdit(MenuCommand command) {
    switch (command) {
        case MenuCommand::NewMacro:
        case MenuCommand::EditMacro:
        case MenuCommand::DeleteMacro:
        case MenuCommand::MoveUp:
        case MenuCommand::MoveDown:
        case MenuCommand::Undo:
            return true;
        default:
            return false;
    }
}

std::optional<MenuCommand> ToolMenuCommand(std::uint32_t id) {
    const auto found = std::find_if(kItems.begin(), kItems.end(), [&](const MenuItem& item) {
        return item.command != MenuCommand::Separator &&
               static_cast<std::uint32_t>(item.command) == id;
    });
    if (found == kItems.end()) return std::nullopt;
    return found->command;
}

namespace {
constexpr std::uint32_t kFirstSendToId = 0x0200;
}  // namespace

std::uint32_t SendToItemId(std::size_t index) {
    return kFirstSendToId + 0x10 * static_cast<std::uint32_t>(index);
}

std::optional<std::size_t> SendToItemIndex(std::uint32_t id) {
    if (id < kFirstSendToId || (id & 0xFu) != 0) return std::nullopt;
    const std::size_t index = (id - kFirstSendToId) / 0x10;
    if (index >= kMostSendToItems) return std::nullopt;
    return index;
}

namespace {
constexpr std::uint32_t kFirstRecentFileId = 0x0400;
static_assert(kFirstRecentFileId >= kFirstSendToId + 0x10 * kMostSendToItems);
static_assert(kClearRecentFilesId == kFirstRecentFileId + 0x10 * kMostRecentFileItems);
}  // namespace

std::uint32_t RecentFileItemId(std::size_t index) {
    return kFirstRecentFileId + 0x10 * static_cast<std::uint32_t>(index);
}

std::optional<std::size_t> RecentFileItemIndex(std::uint32_t id) {
    if (id < kFirstRecentFileId || id >= kClearRecentFilesId || (id & 0xFu) != 0)
        return std::nullopt;
    return (id - kFirstRecentFileId) / 0x10;
}

std::u16string MenuTextAsWritten(std::u16string_view text) {
    std::u16string shown;
    for (const char16_t c : text) {
        if (c == u'&') shown += u'&';
        shown += c == u'\t' ? u' ' : c;
    }
    return shown;
}

bool IsSubmenuItem(std::uint32_t id) {
    return RecentFileItemIndex(id) || id == kClearRecentFilesId || SendToItemIndex(id);
}

namespace {

std::u16string Pid(std::uint32_t process) {
    const std::string number = std::to_string(process);
    return u"(PID " + std::u16string(number.begin(), number.end()) + u")";
}

// The root ("C:\", "\\server\share\"), "…", and as many of the last
// folders as fit; a last folder too long alone is cut at its end. Never
// between the halves of a surrogate pair.
std::u16string ShortenedFolder(std::u16string_view folder) {
    if (folder.size() <= kMostFolderLength) return std::u16string(folder);
    std::size_t rootEnd = folder.find(u'\\');
    if (folder.starts_with(u"\\\\")) {
        rootEnd = folder.find(u'\\', 2);
        if (rootEnd != std::u16string_view::npos) rootEnd = folder.find(u'\\', rootEnd + 1);
    }
    const std::u16string_view root = rootEnd == std::u16string_view::npos
                                         ? std::u16string_view{}
                                         : folder.substr(0, rootEnd + 1);
    std::size_t tail = folder.size();
    for (std::size_t at = folder.rfind(u'\\'); at != std::u16string_view::npos && at > rootEnd;
         at = folder.rfind(u'\\', at - 1)) {
        if (root.size() + 1 + folder.size() - at > kMostFolderLength) break;
        tail = at;
    }
    if (tail < folder.size())
        return std::u16string(root) + u"…" + std::u16string(folder.substr(tail));
    std::size_t cut = kMostFolderLength - 1;
    if (folder[cut - 1] >= 0xD800 && folder[cut - 1] <= 0xDBFF) --cut;
    return std::u16string(folder.substr(0, cut)) + u"…";
}

}  // namespace

std::u16string RecentFileItemText(std::size_t index, std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    const std::u16string_view name =
        slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    const std::u16string_view folder =
        slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, slash);
    const std::string number = std::to_string(index + 1);
    std::u16string text =
        u"&" + std::u16string(number.begin(), number.end()) + u" " + MenuTextAsWritten(name);
    if (!folder.empty()) text += u"  " + MenuTextAsWritten(ShortenedFolder(folder));
    return text;
}

std::u16string ClientName(std::u16string_view title, std::uint32_t process,
                          std::size_t startOrder) {
    const std::u16string name =
        title.empty() ? std::u16string(texts::kUntitledClient) : std::u16string(title);
    if (startOrder == 0) return name + u" " + Pid(process);
    const std::string number = std::to_string(startOrder);
    return name + u" (" + std::u16string(number.begin(), number.end()) + u")";
}

std::u16string ClientInText(std::u16string_view title, std::uint32_t process,
                            std::size_t startOrder) {
    if (startOrder != 0)
        return Fill(texts::kClientInText, {ClientName(title, process, startOrder), u""});
    if (title.empty()) return Fill(texts::kUntitledClientInText, {Pid(process).substr(1)});
    return Fill(texts::kClientInText, {title, Pid(process)});
}

std::u16string SendToItemText(std::u16string_view title, std::uint32_t process,
                              std::size_t startOrder) {
    return MenuTextAsWritten(ClientName(title, process, startOrder));
}

std::u16string RememberedTitleSharedNote(std::u16string_view title) {
    return MenuTextAsWritten(Fill(texts::kRememberedTitleShared, {title}));
}

std::uint32_t KeyCommandId(MenuCommand command) {
    return static_cast<std::uint32_t>(command) + 1;
}

std::optional<MenuCommand> ToolMenuKeyCommand(std::uint32_t id) {
    if ((id & 0xFu) != 1) return std::nullopt;
    return ToolMenuCommand(id - 1);
}

bool IsToolMenuKey(const Hotkey& key) {
    return std::any_of(kItems.begin(), kItems.end(),
                       [&](const MenuItem& item) { return item.key == key; });
}

std::u16string ToolKeyRefusal() {
    return std::u16string(texts::kToolKeyRefusal);
}

}  // namespace kiv

#include <gtest/gtest.h>

#include <tuple>

#include "app/common/tool_menu.h"
#include "settings/hotkey.h"

namespace kiv {
namespace {

TEST(ToolMenu, EveryItemHasAnIdTheSystemMenuTakesAndShowsItsKey) {
    for (const MenuItem& item : ToolMenuItems()) {
        if (item.command == MenuCommand::Separator) continue;
        const auto id = static_cast<std::uint32_t>(item.command);
        EXPECT_LT(id, 0xF000u);
        EXPECT_GT(id, 103u) << "clear of the controls' IDs (100-103), for the keys' WM_COMMAND";
        EXPECT_EQ(id & 0xFu, 0u) << "Windows uses the low four bits of system commands";
        EXPECT_EQ(ToolMenuCommand(id), item.command);
        if (item.key) {
            const std::u16string shown = u"\t" + FormatHotkey(*item.key);
            EXPECT_TRUE(item.text.ends_with(shown)) << "the menu names its key";
        }
    }
    EXPECT_EQ(ToolMenuCommand(0xF060), std::nullopt);  // SC_CLOSE
    EXPECT_EQ(ToolMenuCommand(0), std::nullopt);       // a separator

    // 送信先's items likewise, none of them another item's.
    for (std::size_t index = 0; index < kMostSendToItems; ++index) {
        const std::uint32_t id = SendToItemId(index);
        EXPECT_LT(id, 0xF000u);
        EXPECT_EQ(id & 0xFu, 0u);
        EXPECT_EQ(SendToItemIndex(id), index);
        EXPECT_EQ(ToolMenuCommand(id), std::nullopt);
        EXPECT_EQ(ToolMenuKeyCommand(id + 1), std::nullopt);
    }
    for (const std::uint32_t id : {0u, 0x0180u, SendToItemId(kMostSendToItems), 0xF060u}) {
        EXPECT_EQ(SendToItemIndex(id), std::nullopt) << id;
    }
    // 最近使ったファイル's too, apart from each other (送信先's end before them).
    for (std::size_t index = 0; index < kMostRecentFileItems; ++index) {
        const std::uint32_t id = RecentFileItemId(index);
        EXPECT_LT(id, 0xF000u);
        EXPECT_EQ(id & 0xFu, 0u);
        EXPECT_EQ(RecentFileItemIndex(id), index);
        EXPECT_EQ(ToolMenuCommand(id), std::nullopt);
        EXPECT_TRUE(IsSubmenuItem(id));
    }
    for (const std::uint32_t id : {0u, SendToItemId(0), RecentFileItemId(0) + 1,
                                   RecentFileItemId(1) + 0xF, kClearRecentFilesId, 0xF060u}) {
        EXPECT_EQ(RecentFileItemIndex(id), std::nullopt) << id;
    }
    EXPECT_TRUE(IsSubmenuItem(kClearRecentFilesId));
    EXPECT_FALSE(IsSubmenuItem(static_cast<std::uint32_t>(MenuCommand::Undo)));
    EXPECT_EQ(SendToItemText(u"ゲーム", 1234), u"ゲーム (PID 1234)");
    EXPECT_EQ(SendToItemText(u"", 7), u"(タイトルなし) (PID 7)");
    EXPECT_EQ(SendToItemText(u"A&B\tC", 8), u"A&&B C (PID 8)") << "no access key, no key column";
    EXPECT_EQ(ClientInText(u"A&B", 8), u"「A&B」(PID 8)") << "in a sentence, as written";
    // Where clients share a title, by their start instead of an id.
    EXPECT_EQ(SendToItemText(u"KIV", 8, 2), u"KIV (2)");
    EXPECT_EQ(ClientInText(u"KIV", 8, 1), u"「KIV (1)」");
    EXPECT_EQ(RememberedTitleSharedNote(u"A&B"),
              u"(「A&&B」のゲームクライアントが複数あるため自動)");
}

// 最近使ったファイル: a number to choose by, the name as written, and a
// folder short enough to read, its root and last folders kept.
TEST(ToolMenu, ARecentFileShowsItsNumberNameAndAShortenedFolder) {
    const std::u16string longFolder =
        u"C:\\Users\\player\\" + std::u16string(50, u'x') + u"\\ゲーム\\パーティー\\マクロ";
    const std::u16string share = u"\\\\server\\share\\" + std::u16string(50, u'y') + u"\\z";
    const std::u16string oneLong = u"D:\\" + std::u16string(70, u'w');
    const std::tuple<std::size_t, std::u16string, std::u16string> cases[] = {
        {0, u"C:\\Macros\\a&b.txt", u"&1 a&&b.txt  C:\\Macros"},
        {7, u"chat.txt", u"&8 chat.txt"},
        {1, longFolder + u"\\回復.txt", u"&2 回復.txt  C:\\…\\ゲーム\\パーティー\\マクロ"},
        {2, share + u"\\x.txt", u"&3 x.txt  \\\\server\\share\\…\\z"},
        {3, oneLong + u"\\x.txt", u"&4 x.txt  " + oneLong.substr(0, 59) + u"…"},
    };
    for (const auto& [index, path, text] : cases) {
        EXPECT_EQ(RecentFileItemText(index, path), text) << index;
    }
    EXPECT_EQ(ClientInText(u"", 7), u"(タイトルなし、PID 7)");
}

TEST(ToolMenu, ItemsAreTickedAndGreyedByTheStateTheyNeed) {
    EXPECT_EQ(IsTicked(MenuCommand::TopMost, {.topMost = true}), true);
    EXPECT_EQ(IsTicked(MenuCommand::HotkeySettings, {.topMost = true}), std::nullopt);
    const MenuState none{};
    const MenuState last{.selected = true, .canMoveUp = true, .canUndo = true};
    for (const MenuCommand c : {MenuCommand::EditMacro, MenuCommand::DeleteMacro,
                                MenuCommand::MoveUp, MenuCommand::MoveDown, MenuCommand::Undo}) {
        EXPECT_FALSE(IsEnabled(c, none)) << static_cast<unsigned>(c);
    }
    EXPECT_TRUE(IsEnabled(MenuCommand::NewMacro, none)) << "inserted at the end";
    EXPECT_TRUE(IsEnabled(MenuCommand::MoveUp, last));
    EXPECT_FALSE(IsEnabled(MenuCommand::MoveDown, last));
    EXPECT_TRUE(IsEnabled(MenuCommand::Undo, last));
}

}  // namespace
}  // namespace kiv

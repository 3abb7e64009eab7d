// Which macro each row of a narrowed list is, and where a key pressed in the
// find box goes, with the input method composing or not.

#include <gtest/gtest.h>

#include <tuple>

#include "app/finding/find_box_keys.h"
#include "app/finding/visible_rows.h"
#include "settings/hotkey.h"

namespace kiv {
namespace {

TEST(VisibleRows, RowsAndMacrosMapBothWaysAndAHiddenMacroHasNoRow) {
    VisibleRows rows;
    rows.ShowOnly({1, 4, 7}, 9);
    EXPECT_EQ(rows.MacroAt(0), 1u);
    EXPECT_EQ(rows.MacroAt(2), 7u);
    EXPECT_EQ(rows.MacroAt(3), std::nullopt);
    EXPECT_EQ(rows.MacroAt(-1), std::nullopt);
    EXPECT_EQ(rows.RowOf(4), 1);
    EXPECT_EQ(rows.RowOf(5), -1);
    EXPECT_EQ(rows.RowOf(std::nullopt), -1);
    // After a deletion: the row that took the macro's place, else the last.
    EXPECT_EQ(rows.RowAtOrAfter(2), 1);
    EXPECT_EQ(rows.RowAtOrAfter(8), 2);
    EXPECT_EQ(MatchCountText(rows.Count(), rows.Total()), u"3 / 9");

    rows.ShowAll(9);
    EXPECT_EQ(rows.MacroAt(8), 8u);
    EXPECT_EQ(rows.RowOf(9), -1) << "past the list";
    rows.ShowOnly({}, 0);
    EXPECT_EQ(rows.RowAtOrAfter(0), -1);
}

TEST(FindBoxKeys, EnterSaysOnlyWithNothingComposedAndEditingKeysStayInTheBox) {
    const bool composing = true, committed = false;
    const std::tuple<Hotkey, bool, FindBoxKey> cases[] = {
        {{0, kKeyReturn}, committed, FindBoxKey::Say},
        {{0, kKeyReturn}, composing, FindBoxKey::Text},
        {{0, kKeyProcess}, committed, FindBoxKey::Text},  // the input method's own Enter
        {{0, kKeyEscape}, composing, FindBoxKey::Text},   // cancels the composition only
        {{0, kKeyEscape}, committed, FindBoxKey::Escape},
        {{0, kKeyDown}, committed, FindBoxKey::List},
        {{0, kKeyDown}, composing, FindBoxKey::Text},  // picks a candidate
        {{0, kKeyHome}, committed, FindBoxKey::List},
        {{kModShift, kKeyHome}, committed, FindBoxKey::Text},
        {{0, kKeyDelete}, committed, FindBoxKey::Text},
        {{0, kKeyInsert}, committed, FindBoxKey::Text},
        {{kModCtrl, 'Z'}, committed, FindBoxKey::Text},
        {{kModCtrl, 'V'}, committed, FindBoxKey::Text},
        {{kModAlt, kKeyUp}, committed, FindBoxKey::Window},  // moves the macro
        {{0, kKeyTab}, committed, FindBoxKey::Window},
        {{0, kKeyF2}, committed, FindBoxKey::Window},
    };
    int row = 0;
    for (const auto& [press, state, where] : cases) {
        EXPECT_EQ(RouteFindBoxKey(press, state), where) << "row " << row++;
    }
    EXPECT_TRUE(OpensFindBox(u'a'));
    EXPECT_TRUE(OpensFindBox(u'あ'));
    EXPECT_FALSE(OpensFindBox(u' '));
    EXPECT_FALSE(OpensFindBox(u'\b')) << "BackSpace, which reaches the list as a character";
    EXPECT_FALSE(OpensFindBox(u'\x85'));  // a C1 control
    EXPECT_FALSE(OpensFindBox(0x7F));
    // Each range's ends: letters, digits, the keypad's digits and signs, the signs' keys, ろ.
    for (const std::uint32_t key :
         {0x41u, 0x5Au, 0x30u, 0x39u, 0x60u, 0x6Fu, 0xBAu, 0xC0u, 0xDBu, 0xDFu, 0xE2u}) {
        EXPECT_TRUE(KeyBeginsComposition(key)) << key;
    }
    // 半角/全角 (VK_OEM_AUTO and VK_KANJI), Space, 変換, Enter, F1
    for (const std::uint32_t key : {0xF3u, 0x19u, 0x20u, 0x1Cu, 0x0Du, 0x70u}) {
        EXPECT_FALSE(KeyBeginsComposition(key)) << key;
    }
}

}  // namespace
}  // namespace kiv

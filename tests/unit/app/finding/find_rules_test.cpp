// Which macro each row of a narrowed list is, and where a key pressed in the
// find box goes, with the input method composing or not.

#include <gtest/gtest.h>

#include <tuple>

#include "app/finding/find_box_keys.h"
#include "app/finding/visible_rows.h"

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
    EXPECT_EQ(MatchCountText(rows.Count(), rows.Total()), u"9 / 9");
    rows.ShowOnly({}, 0);
    EXPECT_EQ(rows.RowAtOrAfter(0), -1);
}

TEST(FindBoxKeys, EnterSaysOnlyWithNothingComposedAndEditingKeysStayInTheBox) {
    enum : std::uint32_t {
        kEnter = 0x0D,
        kEscape = 0x1B,
        kHome = 0x24,
        kUp = 0x26,
        kDown = 0x28,
        kDelete = 0x2E,
        kInsert = 0x2D,
        kTab = 0x09,
        kF2 = 0x71,
        kProcess = 0xE5
    };
    const bool composing = true, committed = false;
    const std::tuple<KeyPress, bool, FindBoxKey> cases[] = {
        {{kEnter}, committed, FindBoxKey::Say},
        {{kEnter}, composing, FindBoxKey::Text},
        {{kProcess}, committed, FindBoxKey::Text},  // the input method's own Enter
        {{kEscape}, composing, FindBoxKey::Text},   // cancels the composition only
        {{kEscape}, committed, FindBoxKey::Escape},
        {{kDown}, committed, FindBoxKey::List},
        {{kDown}, composing, FindBoxKey::Text},  // picks a candidate
        {{kHome}, committed, FindBoxKey::List},
        {{kHome, true}, committed, FindBoxKey::Text},
        {{kDelete}, committed, FindBoxKey::Text},
        {{kInsert}, committed, FindBoxKey::Text},
        {{'Z', false, true}, committed, FindBoxKey::Text},
        {{'V', false, true}, committed, FindBoxKey::Text},
        {{kUp, false, false, true}, committed, FindBoxKey::Window},  // moves the macro
        {{kTab}, committed, FindBoxKey::Window},
        {{kF2}, committed, FindBoxKey::Window},
    };
    int row = 0;
    for (const auto& [press, state, where] : cases) {
        EXPECT_EQ(RouteFindBoxKey(press, state), where) << "row " << row++;
    }
    EXPECT_TRUE(OpensFindBox(u'a'));
    EXPECT_TRUE(OpensFindBox(u'あ'));
    EXPECT_FALSE(OpensFindBox(u' '));
    EXPECT_FALSE(OpensFindBox(u'\r'));
    EXPECT_FALSE(OpensFindBox(0x7F));
}

}  // namespace
}  // namespace kiv

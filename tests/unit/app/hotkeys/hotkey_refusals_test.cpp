#include <gtest/gtest.h>

#include "app/hotkeys/hotkey_refusals.h"

#include <optional>
#include <vector>

namespace kiv {
namespace {

TEST(HotkeyRefusals, AreToldOnceAndAgainOnlyWhenWhatIsRefusedChanges) {
    HotkeyRefusalMemory memory;
    const HotkeyRefusal say{u"発言", u"Ctrl+Alt+S", u"ほかのプログラムが使っています。"};
    const HotkeyRefusal next{u"次へ", u"F9", u"アクセスが拒否されました。"};
    const auto told = memory.ToTell({say, next});
    ASSERT_TRUE(told);
    EXPECT_NE(told->find(u"「発言」の Ctrl+Alt+S: ほかのプログラムが使っています。"),
              std::u16string::npos);
    EXPECT_NE(told->find(u"「次へ」の F9: アクセスが拒否されました。"), std::u16string::npos);
    EXPECT_NE(told->find(u"一覧を右クリックして [ホットキーの設定...]"), std::u16string::npos)
        << "where to change them, said where it is";
    EXPECT_EQ(memory.ToTell({say, next}), std::nullopt) << "the same keys again: told already";
    EXPECT_TRUE(memory.ToTell({say})) << "changed";
    memory.Seen({next});
    EXPECT_EQ(memory.ToTell({next}), std::nullopt) << "seen in the dialog";
    EXPECT_EQ(memory.ToTell({}), std::nullopt);
    EXPECT_TRUE(memory.ToTell({next})) << "refused anew after working";
}

// A key the settings give twice is held by its first use; the later uses
// name it, so that the user is not sent looking for another program.
TEST(HotkeyUses, ALaterUseOfTheSameKeyNamesTheFirst) {
    using Kind = HotkeyUse::Kind;
    const Hotkey a{kModCtrl | kModAlt, 'A'}, b{kModCtrl | kModAlt, 'B'}, c{kModCtrl | kModAlt, 'C'};
    const std::vector<HotkeyUse> uses = {{Kind::Action, u"発言", a}, {Kind::Action, u"次へ", b},
                                         {Kind::Macro, u"回復", a},  {Kind::Macro, u"挨拶", b},
                                         {Kind::Macro, u"別れ", a},  {Kind::Macro, u"歓迎", c},
                                         {Kind::Macro, u"再会", c}};
    EXPECT_EQ(EarlierUsesOfTheSameKey(uses),
              (std::vector<std::optional<std::size_t>>{std::nullopt, std::nullopt, 0, 1, 0,
                                                       std::nullopt, 5}));
    EXPECT_NE(SameKeyReason(uses[0]).find(u"「発言」"), std::u16string::npos);
    EXPECT_NE(SameKeyReason(uses[2]).find(u"マクロ「回復」"), std::u16string::npos);
}

}  // namespace
}  // namespace kiv

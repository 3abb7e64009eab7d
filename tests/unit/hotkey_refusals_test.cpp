#include <gtest/gtest.h>

#include "app/hotkey_refusals.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

TEST(HotkeyRefusals, AreToldOnceAndAgainOnlyWhenWhatIsRefusedChanges) {
    HotkeyRefusalMemory memory;
    const HotkeyRefusal say{u"発言", u"Ctrl+Alt+S", u"ほかのプログラムが使っています。"};
    const HotkeyRefusal next{u"次へ", u"F9", u"アクセスが拒否されました。"};
    EXPECT_EQ(memory.ToTell({}), std::nullopt);
    const auto told = memory.ToTell({say, next});
    ASSERT_TRUE(told);
    EXPECT_NE(told->find(u"「発言」の Ctrl+Alt+S: ほかのプログラムが使っています。"),
              std::u16string::npos);
    EXPECT_NE(told->find(u"「次へ」の F9: アクセスが拒否されました。"), std::u16string::npos);
    EXPECT_EQ(memory.ToTell({say, next}), std::nullopt) << "the same keys again: told already";
    EXPECT_TRUE(memory.ToTell({say})) << "changed";
    memory.Seen({next});
    EXPECT_EQ(memory.ToTell({next}), std::nullopt) << "seen in the dialog";
    EXPECT_EQ(memory.ToTell({}), std::nullopt);
    EXPECT_TRUE(memory.ToTell({next})) << "refused anew after working";
}

}  // namespace
}  // namespace kiv

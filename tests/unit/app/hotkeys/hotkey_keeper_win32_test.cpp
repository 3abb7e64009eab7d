// The tool's hotkeys on a stand-in window, as another program finds them.

#include "app/hotkeys/hotkey_keeper_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/hosted_features.h"
#include "support/in_process_window.h"

namespace kiv {
namespace {

using test::HotkeyHeld;

const Hotkey kF7{0, VK_F7};

class HotkeyKeeperTest : public testing::Test, protected test::HostedFeatures {
  protected:
    void SetUp() override {
        Options options;
        options.hotkeys[3] = u"Ctrl+Alt+N";  // 次へ
        MacroHotkeys macroKeys;
        macroKeys.Set(u"a", u"a", kF7);
        macroKeys.Set(u"消えた", u"消えた", Hotkey{0, VK_F8});
        Start("a\r\nb\r\n", options, macroKeys);
    }
    // 次へ's, macro a's, and the one kept for a title no macro has.
    static std::vector<bool> Held() {
        return {HotkeyHeld(MOD_CONTROL | MOD_ALT, 'N'), HotkeyHeld(0, VK_F7), HotkeyHeld(0, VK_F8)};
    }
};

TEST_F(HotkeyKeeperTest, TheKeysAreTheToolsButUnderADialogAndNoneForATitleNoMacroHas) {
    EXPECT_EQ(Held(), (std::vector<bool>{true, true, false}));
    {
        const HotkeyKeeper::FreeForDialog free(keys);
        keys.Register();  // as a list read meanwhile would
        EXPECT_EQ(Held(), (std::vector<bool>{false, false, false}));
    }
    EXPECT_EQ(Held(), (std::vector<bool>{true, true, false})) << "registered again";
}

// Keys set during a run are written at once, and only when they changed; one
// another program holds is told once, not at every registration.
TEST_F(HotkeyKeeperTest, ChangedKeysAreSavedAndOneHeldElsewhereIsToldOnce) {
    const test::KeyHeldElsewhere other(0, VK_F9);
    if (!other.Held()) GTEST_SKIP() << "F9 is taken on this desktop";
    keys.SetMacroKeys(keys.MacroKeys());
    EXPECT_EQ(saved, std::vector<MacroHotkeys>{});
    MacroHotkeys withF9 = keys.MacroKeys();
    withF9.Set(u"b", u"b", Hotkey{0, VK_F9});
    keys.SetMacroKeys(withF9);
    EXPECT_EQ(saved, std::vector<MacroHotkeys>{withF9});
    keys.Register();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].kind, NoticeKind::HotkeysRefused);
    EXPECT_NE(told[0].text.find(u"「b」の F9: "), std::u16string::npos);
    keys.Register();
    EXPECT_EQ(told, std::vector<Notice>{told[0]}) << "not again";
}

TEST_F(HotkeyKeeperTest, AClashNamesTheKeysOtherUse) {
    // The key, the macro's title and its old one; words of the reason (nothing:
    // no clash), and the title no macro has that the key may be taken from.
    using Text = std::optional<std::u16string>;
    const std::tuple<Hotkey, std::u16string, Text, Text, Text> cases[] = {
        {kF7, u"b", u"b", u"マクロ「a」", {}},
        {Hotkey{kModCtrl | kModAlt, 'N'}, u"new", {}, u"「次へ」", {}},
        {Hotkey{0, VK_F8}, u"b", u"b", u"「消えた」", u"消えた"},
        {kF7, u"x", u"a", {}, {}},  // its own, renamed
    };
    int row = 0;
    for (const auto& [key, title, oldTitle, words, orphan] : cases) {
        const std::optional<MacroKeyClash> clash = keys.ClashOf(key, title, oldTitle);
        ASSERT_EQ(clash.has_value(), words.has_value()) << "row " << row;
        if (clash) {
            EXPECT_NE(clash->text.find(*words), std::u16string::npos) << "row " << row;
            EXPECT_EQ(clash->orphanTitle, orphan) << "row " << row;
        }
        ++row;
    }
}

}  // namespace
}  // namespace kiv

// The keys of macros, kept by title in the settings file: what reads, what stays and what is
// written.

#include "app/macro_hotkeys.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ansi_text.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class MacroHotkeysTest : public testing::Test {
  protected:
    MacroHotkeys Load(const std::u16string& ini) {
        WriteBytes(dir_.Path("chat.ini"), ToAnsi(ini));
        IniFile store;
        store.Load(dir_.File("chat.ini"));
        MacroHotkeys keys;
        keys.Read(store);
        return keys;
    }
    std::u16string Saved(const MacroHotkeys& keys) {
        IniFile store;
        store.Load(dir_.File("chat.ini"));
        if (keys.ToWrite()) keys.Write(store);
        store.Save(u"");
        return FromAnsi(ReadBytes(dir_.Path("chat.ini")));
    }
    test::TempDir dir_;
};

TEST_F(MacroHotkeysTest, KeysFollowTheirTitlesAndWhatDoesNotReadStays) {
    MacroHotkeys keys = Load(
        u"[Setting]\r\nFileName=a.txt\r\n[MacroHotkeys]\r\nF7=回復依頼\r\nCtrl+Tab=古い\r\n"
        u"ctrl+alt+1=挨拶\r\n");
    EXPECT_EQ(keys.KeyOf(u"回復依頼"), (Hotkey{0, 0x76}));
    EXPECT_EQ(keys.KeyOf(u"古い"), std::nullopt) << "no hotkey, kept as written";
    EXPECT_EQ(keys.TitleHolding(Hotkey{kModCtrl | kModAlt, '1'}, u"別"), u"挨拶");
    EXPECT_EQ(keys.TitleHolding(Hotkey{kModCtrl | kModAlt, '1'}, u"挨拶"), std::nullopt);

    keys.Set(u"回復依頼", u"回復お願い", Hotkey{0, 0x76});  // renamed: the key moves along
    keys.Set(u"挨拶", u"挨拶", std::nullopt);               // key taken away
    keys.Set(u"新しい", u"新しい", Hotkey{kModAlt, 'N'});
    EXPECT_EQ(keys.KeyOf(u"回復依頼"), std::nullopt);
    EXPECT_EQ(Saved(keys),
              u"[Setting]\r\nFileName=a.txt\r\n[MacroHotkeys]\r\nCtrl+Tab=古い\r\nF7=回復お願い\r\n"
              u"Alt+N=新しい\r\n");
}

TEST_F(MacroHotkeysTest, TheSectionIsWrittenOnlyWhenItWasThereOrAKeyWasSet) {
    MacroHotkeys none = Load(u"[Position]\r\nLeft=1\r\n");
    none.Set(u"a", u"b", std::nullopt);  // a rename without keys changes nothing
    EXPECT_FALSE(none.ToWrite());
    EXPECT_EQ(Saved(none), u"[Position]\r\nLeft=1\r\n");
    none.Set(u"a", u"a", Hotkey{0, 0x76});
    none.Set(u"a", u"a", std::nullopt);
    EXPECT_TRUE(none.ToWrite()) << "existed in this run";
    EXPECT_TRUE(Load(u"[MacroHotkeys]\r\n").ToWrite());
}

TEST(MacroHotkeyTitles, TheSettingsFileMustKeepTheTitleAsItIs) {
    EXPECT_EQ(MacroHotkeyTitleRefusal(u"回復依頼"), std::nullopt);
    EXPECT_NE(MacroHotkeyTitleRefusal(u"回復♥")->find(u"♥ (U+2665)"), std::u16string::npos);
    EXPECT_TRUE(MacroHotkeyTitleRefusal(u" 回復"));
    EXPECT_TRUE(MacroHotkeyTitleRefusal(u"回復 "));
}

}  // namespace
}  // namespace kiv

// Macros' keys, kept by title in the settings file: what reads, what stays and what is written.

#include "app/hotkeys/macro_hotkeys.h"

#include "app/hotkeys/hotkey_conflicts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "platform/ansi_text.h"
#include "platform/utf8.h"
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
    // As the hotkey settings list them: a key that works has no remark.
    const auto exists = [](std::u16string_view title) { return title != u"回復依頼"; };
    EXPECT_EQ(DescribeMacroHotkeys(keys, exists),
              (std::vector<std::u16string>{
                  u"F7: 回復依頼 (このタイトルのマクロがないため働きません)",
                  u"Ctrl+Tab: 古い (キーとして読めないため働きません)", u"Ctrl+Alt+1: 挨拶"}));
    EXPECT_EQ(DescribeMacroHotkeys(keys, exists, true).front(),
              u"F7: 回復依頼 (開いているどのタブにもないタイトルのため働きません)")
        << "with tabs open";

    keys.Set(u"回復依頼", u"回復お願い", Hotkey{0, 0x76});  // renamed: the key moves along
    keys.Set(u"挨拶", u"挨拶", std::nullopt);               // key taken away
    keys.Set(u"新しい", u"新しい", Hotkey{kModAlt, 'N'});
    EXPECT_EQ(Saved(keys),
              u"[Setting]\r\nFileName=a.txt\r\n[MacroHotkeys]\r\nCtrl+Tab=古い\r\nF7=回復お願い\r\n"
              u"Alt+N=新しい\r\n");
    keys.Remove({0, 2});
    EXPECT_EQ(keys.Entries(), (std::vector<MacroHotkey>{{u"F7", u"回復お願い"}}));
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
    constexpr TextEncoding cp932 = TextEncoding::Ansi;
    EXPECT_EQ(MacroHotkeyTitleRefusal(u"回復依頼", cp932), std::nullopt);
    EXPECT_NE(MacroHotkeyTitleRefusal(u"回復♥", cp932)->find(u"♥ (U+2665)"), std::u16string::npos);
    EXPECT_EQ(MacroHotkeyTitleRefusal(u"回復♥", TextEncoding::Utf8), std::nullopt)
        << "a settings file in UTF-8 keeps it";
    for (const std::u16string title : {u" 回復", u"回復 ", u"\t回復", u"回復\t", u""}) {
        EXPECT_TRUE(MacroHotkeyTitleRefusal(title, TextEncoding::Utf8)) << ToUtf8(title);
    }
    EXPECT_EQ(MacroHotkeyTitleRefusal(u"回\t復", cp932), std::nullopt)
        << "inside, a TAB is the title's own";
}

// One rule for whether a macro may have a key, as the macro dialog asks it.
TEST(MacroKeyClashes, EveryUseOfAKeyIsNamedAndOnlyAKeyThatDoesNothingMayBeTakenOver) {
    const Hotkey f2{0, 0x71}, f7{0, 0x76}, f8{0, 0x77}, f9{0, 0x78}, f10{0, 0x79};
    Options options;
    options.hotkeys[1] = u"F9";
    options.hotkeys[3] = u"F10";  // the last action: each is looked at
    MacroHotkeys keys;
    keys.Set(u"回復", u"回復", f7);
    keys.Set(u"旧名", u"旧名", f8);
    const auto exists = [](std::u16string_view title) { return title != u"旧名"; };
    const std::optional<std::u16string> none;
    // Key, title, old title (none: a new macro), words of the reason (none: no clash), gone macro.
    const std::tuple<Hotkey, std::u16string, std::optional<std::u16string>, std::u16string,
                     std::optional<std::u16string>>
        cases[] = {
            {f7, u"回復", u"回復", u"", none},      // its own key
            {f7, u"回復依頼", u"回復", u"", none},  // its own, renamed
            {f7, u"回復", none, u"", none},         // a new macro of the key's title
            {f7, u"挨拶", none, u"マクロ「回復」", none},
            {f9, u"挨拶", u"挨拶", u"「発言して次へ」", none},
            {f8, u"挨拶", u"挨拶", u"「旧名」", u"旧名"},
            {f10, u"挨拶", u"挨拶", u"「次へ」", none},
            {f2, u"挨拶", u"挨拶", u"F2", none},  // the tool's own key to edit
            {Hotkey{kModCtrl | kModAlt, 'Q'}, u" 挨拶", none, u"空白", none},
            {Hotkey{0, 'Q'}, u"挨拶", none, u"使えません", none},  // a letter alone
        };
    for (const auto& [key, title, old, reason, orphan] : cases) {
        const auto found = MacroKeyClashOf(key, title, old, options, keys, exists);
        EXPECT_EQ(found.has_value(), !reason.empty()) << ToUtf8(title) << ": " << ToUtf8(reason);
        const MacroKeyClash clash = found.value_or(MacroKeyClash{});
        EXPECT_NE(clash.text.find(reason), std::u16string::npos) << ToUtf8(clash.text);
        EXPECT_EQ(clash.orphanTitle, orphan) << ToUtf8(reason);
    }
}

// The same rule for the actions' keys in the hotkey settings: a key a macro
// has is refused naming the macro, or offered when its macro is gone.
TEST(ActionKeyClashes, EveryOtherUseIsNamedAndOnlyAKeyThatDoesNothingIsOffered) {
    const Hotkey f2{0, 0x71}, f7{0, 0x76}, f8{0, 0x77}, f9{0, 0x78};
    MacroHotkeys keys;
    keys.Set(u"回復", u"回復", f7);
    keys.Set(u"旧名", u"旧名", f8);
    // Two macros with one key, as a settings file edited by hand may hold.
    keys.Set(u"二つ目", u"二つ目", f7);
    const auto exists = [](std::u16string_view title) { return title != u"旧名"; };
    const auto at = [](std::initializer_list<std::pair<std::size_t, Hotkey>> given) {
        ActionKeys chosen;
        for (const auto& [action, key] : given) chosen[action] = key;
        return chosen;
    };
    struct Case {
        const char* name;
        ActionKeys chosen;
        std::vector<std::size_t> removed;
        std::u16string refused;  // words of the refusals; empty: none
        std::vector<std::size_t> offered;
    };
    const ActionKeys f2Kept = at({{1, f2}});
    const ActionKeys current = at({{1, f2}, {5, f7}});
    const Case cases[] = {
        {"free keys", at({{0, f9}, {3, Hotkey{kModCtrl, 'Q'}}}), {}, u"", {}},
        {"a macro's", at({{2, f7}}), {}, u"「前へ」の F7 はマクロ「回復」のホットキーです。", {}},
        {"macros' taken away", at({{2, f7}}), {0, 2}, u"", {}},
        {"a gone macro's: offered", at({{6, f8}}), {}, u"", {1}},
        {"two actions",
         at({{0, f9}, {3, f9}}),
         {},
         u"「次へ」と「発言」に同じキーは使えません。",
         {}},
        {"not a hotkey", at({{0, Hotkey{0, 'Q'}}}), {}, u"「発言」のキーは使えません。", {}},
        {"the tool's own, newly", at({{1, f2}, {4, f2}}), {}, u"「次のクライアント」の F2: ", {}},
        {"the tool's own, kept", f2Kept, {}, u"", {}},
        {"a macro's, held so since the start", at({{5, f7}}), {}, u"", {}},
    };
    for (const Case& c : cases) {
        const ActionKeysCheck check = CheckActionKeys(c.chosen, current, keys, c.removed, exists);
        EXPECT_EQ(check.refusals.find(c.refused), 0u) << c.name << ": " << ToUtf8(check.refusals);
        EXPECT_EQ(check.refusals.empty(), c.refused.empty()) << c.name;
        EXPECT_EQ(check.orphanKeys, c.offered) << c.name;
        EXPECT_EQ(check.offer.find(u"「次のファイル」の F8 は、一覧にないマクロ「旧名」") == 0,
                  !c.offered.empty())
            << c.name;
        EXPECT_EQ(check.offer.ends_with(u"?"), !c.offered.empty()) << c.name << ": the question";
    }
}

}  // namespace
}  // namespace kiv

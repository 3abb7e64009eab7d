#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

TEST(HotkeyText, EveryKeyNameReadsBackAsWritten) {
    int keys = 0;
    for (std::uint32_t key = 0; key < 0x100; ++key) {
        for (const std::uint32_t modifiers : {kModCtrl | kModAlt, kModShift | kModWin}) {
            const Hotkey hotkey{modifiers, key};
            if (!IsAllowedHotkey(hotkey)) continue;
            ++keys;
            EXPECT_EQ(ParseHotkey(FormatHotkey(hotkey)), hotkey) << ToUtf8(FormatHotkey(hotkey));
        }
    }
    EXPECT_EQ(keys, 2 * (26 + 10 + 24 + 10 + 11));
    EXPECT_EQ(ParseHotkey(u"Shift+F12"), (Hotkey{kModShift, 0x7B}));
}

TEST(HotkeyText, ReadsAsPeopleTypeIt) {
    EXPECT_EQ(ParseHotkey(u"Ctrl+Alt+S"), (Hotkey{kModCtrl | kModAlt, 'S'}));
    EXPECT_EQ(ParseHotkey(u"shift + f2"), (Hotkey{kModShift, 0x71}));
    EXPECT_EQ(ParseHotkey(u"F9"), (Hotkey{0, 0x78}));
    EXPECT_EQ(ParseHotkey(u"Ctrl+Num1"), (Hotkey{kModCtrl, 0x61}));
    EXPECT_EQ(ParseHotkey(u" WIN+alt+pageDown "), (Hotkey{kModWin | kModAlt, 0x22}));
    EXPECT_EQ(ParseHotkey(u"num0"), (Hotkey{0, 0x60}));
    EXPECT_EQ(FormatHotkey(*ParseHotkey(u"win+shift+alt+ctrl+delete")),
              u"Ctrl+Alt+Shift+Win+Delete");
}

TEST(HotkeyText, RefusesWhatIsNotInTheGrammar) {
    // Each text between the bars, the empty one first.
    std::u16string_view texts =
        u"|   |S|Space|Up|Ctrl|Ctrl+|+S|Ctrl++S|Ctrl+Ctrl+S|Ctrl+S+Alt|Ctrl+Tab|Ctrl+F25|Ctrl+F0|"
        u"Ctrl+Num10|Control+S|Ctrl+Ｓ|Ctrl+SS|Ctrl-S|Shift+A|shift + space|Shift+Delete|F12";
    for (std::size_t bar = 0; bar != std::u16string_view::npos;) {
        bar = texts.find(u'|');
        const std::u16string text(texts.substr(0, bar));
        EXPECT_FALSE(ParseHotkey(text)) << ToUtf8(text);
        texts.remove_prefix(bar == texts.npos ? texts.size() : bar + 1);
    }
}

}  // namespace
}  // namespace kiv

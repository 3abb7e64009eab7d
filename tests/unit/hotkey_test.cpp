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
    for (const char16_t* text : {u"",
                                 u"   ",
                                 u"S",
                                 u"Space",
                                 u"Up",
                                 u"Ctrl",
                                 u"Ctrl+",
                                 u"+S",
                                 u"Ctrl++S",
                                 u"Ctrl+Ctrl+S",
                                 u"Ctrl+S+Alt",
                                 u"Ctrl+Tab",
                                 u"Ctrl+F25",
                                 u"Ctrl+F0",
                                 u"Ctrl+Num10",
                                 u"Control+S",
                                 u"Ctrl+Ｓ",
                                 u"Ctrl+SS",
                                 u"Ctrl-S",
                                 u"Shift+A",
                                 u"shift + space",
                                 u"Shift+Delete",
                                 u"F12"}) {
        EXPECT_FALSE(ParseHotkey(text)) << ToUtf8(text);
    }
}

}  // namespace
}  // namespace kiv

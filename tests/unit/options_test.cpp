// The tool's options: the hotkey texts, the menu table, the message preview.

#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "app/message_preview.h"
#include "app/tool_menu.h"
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

TEST(ToolMenu, EveryItemHasAnIdTheSystemMenuTakes) {
    for (const MenuItem& item : ToolMenuItems()) {
        const auto id = static_cast<std::uint32_t>(item.command);
        EXPECT_LT(id, 0xF000u);
        EXPECT_EQ(id & 0xFu, 0u) << "Windows uses the low four bits of system commands";
        EXPECT_EQ(ToolMenuCommand(id), item.command);
    }
    EXPECT_EQ(ToolMenuCommand(0xF060), std::nullopt);  // SC_CLOSE
    EXPECT_EQ(IsTicked(MenuCommand::TopMost, {true}), true);
    EXPECT_EQ(IsTicked(MenuCommand::HotkeySettings, {true}), std::nullopt);
}

TEST(MessagePreview, ShowsTheLinesTheGameWillGet) {
    EXPECT_EQ(MessagePreview(u"こんにちは\\n\\n<now>\\nほか\\nまだ", u"挨拶"),
              u"こんにちは\r\n<now>\\nほか\\nまだ");
    EXPECT_EQ(MessagePreview(u"5 €", u"x"), u"5 ?") << "as CP932 carries it";
    EXPECT_EQ(MessagePreview(u"same", u"same"), std::nullopt);
    EXPECT_EQ(MessagePreview(u"\\n", u"empty"), std::nullopt);
}

}  // namespace
}  // namespace kiv

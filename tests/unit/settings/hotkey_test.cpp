#include <gtest/gtest.h>

#include <tuple>

#include "platform/utf8.h"
#include "settings/hotkey.h"

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
}

TEST(HotkeyText, ReadsAsPeopleTypeItAndRefusesWhatIsNotInTheGrammar) {
    EXPECT_EQ(ParseHotkey(u"Ctrl+Alt+S"), (Hotkey{kModCtrl | kModAlt, 'S'}));
    EXPECT_EQ(ParseHotkey(u"shift + f2"), (Hotkey{kModShift, 0x71}));
    EXPECT_EQ(ParseHotkey(u"F9"), (Hotkey{0, 0x78}));
    EXPECT_EQ(ParseHotkey(u" WIN+alt+pageDown "), (Hotkey{kModWin | kModAlt, 0x22}));
    EXPECT_EQ(ParseHotkey(u"num0"), (Hotkey{0, 0x60}));
    EXPECT_EQ(FormatHotkey(*ParseHotkey(u"win+shift+alt+ctrl+delete")),
              u"Ctrl+Alt+Shift+Win+Delete");
    for (const char16_t* text :
         {u"S",        u"",        u"   ",           u"Space",        u"Up",         u"Ctrl",
          u"Ctrl+",    u"+S",      u"Ctrl++S",       u"Ctrl+Ctrl+S",  u"Ctrl+S+Alt", u"Ctrl+Tab",
          u"Ctrl+F25", u"Ctrl+F0", u"Ctrl+Num10",    u"Control+S",    u"Ctrl+Ｓ",    u"Ctrl+SS",
          u"Ctrl-S",   u"Shift+A", u"shift + space", u"Shift+Delete", u"F12"}) {
        EXPECT_FALSE(ParseHotkey(text)) << ToUtf8(text);
    }
}

// Which keys are told as the IME's or as Windows' own: one table, every boundary of both rules.
TEST(HotkeyKeys, TheImesConversionKeysAndWindowsOwnAreToldApart) {
    // The key, whether the IME takes it, whether Windows does.
    const std::tuple<const char16_t*, bool, bool> cases[] = {
        {u"F5", false, false},        {u"F6", true, false},        {u"F7", true, false},
        {u"F10", true, false},        {u"F11", false, false},      {u"Shift+F7", false, false},
        {u"Ctrl+F7", false, false},   {u"Win+L", false, true},     {u"Win+Shift+S", false, true},
        {u"Ctrl+Win+D", false, true}, {u"Win+0", false, true},     {u"Win+9", false, true},
        {u"Win+Space", false, true},  {u"Win+Home", false, true},  {u"Win+Left", false, true},
        {u"Win+Down", false, true},   {u"Win+F7", false, false},   {u"Win+PageUp", false, false},
        {u"Win+End", false, false},   {u"Win+Num1", false, false}, {u"Ctrl+Alt+L", false, false},
        {u"Win+A", false, true},      {u"Win+Z", false, true},     {u"Win+Shift+Up", false, true},
    };
    for (const auto& [text, imeKey, windows] : cases) {
        const std::optional<Hotkey> key = ParseHotkey(text);
        ASSERT_TRUE(key) << ToUtf8(text);
        const std::optional<std::u16string> caution = HotkeyCaution(*key);
        EXPECT_EQ(caution.has_value(), imeKey) << ToUtf8(text);
        if (caution) {
            EXPECT_EQ(caution->find(text), 0u) << "names the key";
        }
        EXPECT_EQ(IsReservedByWindows(*key), windows) << ToUtf8(text);
    }
}

}  // namespace
}  // namespace kiv

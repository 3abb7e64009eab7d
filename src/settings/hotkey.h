#pragma once

// Global hotkeys as the settings file spells them ("Ctrl+Alt+S", "F9",
// "shift + f2") and as Windows registers them (modifier flags and a
// virtual-key code). Portable.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// RegisterHotKey's modifier flags.
inline constexpr std::uint32_t kModAlt = 0x1;
inline constexpr std::uint32_t kModCtrl = 0x2;
inline constexpr std::uint32_t kModShift = 0x4;
inline constexpr std::uint32_t kModWin = 0x8;

// Virtual-key codes the tool's rules name, as Windows numbers them.
inline constexpr std::uint32_t kKeyTab = 0x09;
inline constexpr std::uint32_t kKeyReturn = 0x0D;
inline constexpr std::uint32_t kKeyEscape = 0x1B;
inline constexpr std::uint32_t kKeyPageUp = 0x21;
inline constexpr std::uint32_t kKeyPageDown = 0x22;
inline constexpr std::uint32_t kKeyEnd = 0x23;
inline constexpr std::uint32_t kKeyHome = 0x24;
inline constexpr std::uint32_t kKeyUp = 0x26;
inline constexpr std::uint32_t kKeyDown = 0x28;
inline constexpr std::uint32_t kKeyInsert = 0x2D;
inline constexpr std::uint32_t kKeyDelete = 0x2E;
inline constexpr std::uint32_t kKeyF1 = 0x70;
inline constexpr std::uint32_t kKeyF2 = 0x71;
inline constexpr std::uint32_t kKeyF24 = 0x87;
inline constexpr std::uint32_t kKeyProcess = 0xE5;  // a key the input method took

struct Hotkey {
    std::uint32_t modifiers = 0;  // kMod... flags
    std::uint32_t key = 0;        // virtual-key code
    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// Modifiers Ctrl, Alt, Shift and Win and one key, joined by "+", in any
// letter case, with spaces around "+" allowed. Keys: A-Z, 0-9, F1-F24,
// Num0-Num9, Space, Up, Down, Left, Right, PageUp, PageDown, Home, End,
// Insert, Delete. Only F1-F24 (but F12) and Num0-Num9 may go without
// modifiers; the other keys need Ctrl, Alt or Win, for alone or with Shift
// only they would be taken from every program's typing while the tool runs.
// Nothing for any other text.
std::optional<Hotkey> ParseHotkey(std::u16string_view text);

// The text that ParseHotkey reads back: modifiers in the order Ctrl, Alt,
// Shift, Win, then the key, as the list above spells it ("Ctrl+Alt+S").
std::u16string FormatHotkey(const Hotkey& hotkey);

// The combination is one that ParseHotkey could have given.
bool IsAllowedHotkey(const Hotkey& hotkey);
// What to do instead of a key IsAllowedHotkey refuses, in the user's words.
std::u16string_view AllowedHotkeyAdvice();

// A key that works, but at a cost the user should know of: F6 to F10 alone
// are the Japanese IME's conversion keys (F7 katakana, and so on). A global
// hotkey is taken before any window or IME sees the key, so conversion with
// it stops in every program, and pressed while a chat line is being typed,
// the macro's text replaces that line. Why, in the user's words; nothing for
// any other key.
std::optional<std::u16string> HotkeyCaution(const Hotkey& hotkey);

// The Win key combinations Windows keeps for its own shortcuts, of the keys
// a hotkey may have: Win with a letter, a digit, Space, an arrow or Home,
// whatever else is held. RegisterHotKey refuses them with the very error it
// gives for a key another program holds; this list tells the two apart.
bool IsReservedByWindows(const Hotkey& hotkey);

}  // namespace kiv

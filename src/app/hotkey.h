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

}  // namespace kiv

#pragma once

// Where a key pressed in the find box goes. While the input method composes,
// every key is its own: Enter then only confirms what was typed, and never
// says a macro (in a game's public chat, a line said by mistake is said to
// everyone). Otherwise the box keeps the keys that edit text, the list takes
// the ones that move through it, and the window's shortcuts see the rest.
// Portable.

#include "settings/hotkey.h"

namespace kiv {

enum class FindBoxKey {
    Text,    // the box's own: typing, Delete, Ctrl+Z, Ctrl+C/V/X, Shift+Home...
    List,    // moves the list's selection: Up, Down, PgUp, PgDn, Home, End
    Say,     // Enter: the selected row is said
    Escape,  // clears the box, or hides it when empty
    Window,  // Tab, F2, Alt+Up/Down, F-keys: as anywhere in the window
};

// `press`: the key and the modifiers held with it.
FindBoxKey RouteFindBoxKey(const Hotkey& press, bool composing);

// What the list's type-ahead would have taken opens the find box instead: a
// printable character; not a space, which means nothing in a list.
bool OpensFindBox(char16_t typed);

// Whether a key the input method took (`virtualKey`, as it was pressed)
// begins a composition: a letter, a digit or a sign. Not 半角/全角, Space or
// 変換, which are the input method's own and compose nothing.
bool KeyBeginsComposition(std::uint32_t virtualKey);

}  // namespace kiv

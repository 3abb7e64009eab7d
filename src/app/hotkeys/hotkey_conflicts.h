#pragma once

// Whether a key may be given: one rule for the macro dialog and the hotkey
// settings, the same that decides at start-up which use holds a key written
// twice (a key has one use). Portable.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/hotkeys/macro_hotkeys.h"
#include "settings/hotkey.h"
#include "settings/options.h"

namespace kiv {

struct MacroKeyClash {
    std::u16string text;  // why the key cannot be the macro's, in the user's words
    // The key is kept for a title no macro has (its macro was deleted, or
    // renamed outside the tool): it does nothing there, and may be taken over
    // on the user's word. `text` is then the question.
    std::optional<std::u16string> orphanTitle;
};

// Whether `key` may be the key of the macro titled `title`, which was titled
// `oldTitle` (nothing for a new macro): refused for a title the settings file
// cannot keep, a key of the tool's own window, an action's key, and another
// macro's key. `titleExists` tells the titles the list has.
std::optional<MacroKeyClash> MacroKeyClashOf(
    const Hotkey& key, const std::u16string& title, const std::optional<std::u16string>& oldTitle,
    const Options& options, const MacroHotkeys& macroKeys,
    const std::function<bool(std::u16string_view)>& titleExists);

using ActionKeys = std::array<std::optional<Hotkey>, kHotkeyActions>;

// What the keys chosen for the actions break of the rule: each action's key
// checked as the macro's is, then against the earlier actions' and the
// macros' keys, which keep theirs unless the user takes them away.
struct ActionKeysCheck {
    std::u16string refusals;  // a line for each key that cannot be kept
    // A chosen key kept for a title no macro has: it does nothing there, and
    // may be taken over on the user's word (positions in the macros'
    // entries). `offer` is then the question.
    std::vector<std::size_t> orphanKeys;
    std::u16string offer;
};
// `current` are the actions' keys now: a field left as it was keeps a key
// the tool uses in its window, or one a macro has too (the action's works,
// as at start-up). `removed` are the macros' entries taken away.
ActionKeysCheck CheckActionKeys(const ActionKeys& chosen, const ActionKeys& current,
                                const MacroHotkeys& macroKeys,
                                const std::vector<std::size_t>& removed,
                                const std::function<bool(std::u16string_view)>& titleExists);

}  // namespace kiv

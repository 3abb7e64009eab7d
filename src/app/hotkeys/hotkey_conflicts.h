#pragma once

// Whether a key may be given to a macro: one rule, for the macro dialog, as
// the window asks it. Portable.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

}  // namespace kiv

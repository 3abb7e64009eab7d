#pragma once

// Hotkeys Windows would not register (another program, an overlay or a
// second copy of the tool holds the key): told once which and why, and not
// again until what is refused changes, so that a key held every day does not
// nag at every start, yet a newly dead key is never silent. Portable.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/hotkeys/macro_hotkeys.h"
#include "settings/hotkey.h"
#include "settings/options.h"

namespace kiv {

struct HotkeyRefusal {
    std::u16string owner;   // what the key is for: an action's name, or a macro's title
    std::u16string key;     // as the settings file writes it: Ctrl+Alt+S
    std::u16string reason;  // the system's words
    friend bool operator==(const HotkeyRefusal&, const HotkeyRefusal&) = default;
};

// One use of a key in the tool's settings: an action's, or a macro's.
struct HotkeyUse {
    enum class Kind { Action, Macro };
    Kind kind;
    std::u16string name;  // the action's (発言), or the macro's title
    Hotkey key;
};
// How the user is told of a use: 「発言」, マクロ「回復依頼」.
std::u16string DescribeUse(const HotkeyUse& use);

// Every use of a key in the settings: the actions' that are set, in their
// order, then the macros' whose keys read, in the settings file's order.
std::vector<HotkeyUse> KeyUses(const std::array<std::optional<Hotkey>, kHotkeyActions>& actions,
                               const MacroHotkeys& macros);

// A key has one use: the first of `uses` that has `key`, if any. The rule
// behind every refusal of a key another use has, in the dialogs and when the
// keys are registered.
std::optional<std::size_t> UseOfKey(const Hotkey& key, std::span<const HotkeyUse> uses);

// For each use, the earlier one with the same key, if any: the tool holds
// the key for that one, and the later one cannot have it. (A key written
// twice in the settings, as Ctrl+Alt+A and Alt+Ctrl+A, or in both "Option"
// and "MacroHotkeys", would otherwise be refused by Windows as if another
// program held it.)
std::vector<std::optional<std::size_t>> EarlierUsesOfTheSameKey(const std::vector<HotkeyUse>& uses);

// Why a use is refused when an earlier one has its key.
std::u16string SameKeyReason(const HotkeyUse& earlier);

class HotkeyRefusalMemory {
  public:
    // What to tell after a registration that refused `refused`: nothing when
    // all went through or the same was told already.
    std::optional<std::u16string> ToTell(const std::vector<HotkeyRefusal>& refused);
    // The user saw these another way (the hotkey dialog names them itself).
    void Seen(std::vector<HotkeyRefusal> refused) { told_ = std::move(refused); }

  private:
    std::vector<HotkeyRefusal> told_;
};

}  // namespace kiv

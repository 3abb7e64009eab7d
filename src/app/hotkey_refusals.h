#pragma once

// Hotkeys Windows would not register (another program, an overlay or a
// second copy of the tool holds the key): told once which and why, and not
// again until what is refused changes, so that a key held every day does not
// nag at every start, yet a newly dead key is never silent. Portable.

#include <optional>
#include <string>
#include <vector>

namespace kiv {

struct HotkeyRefusal {
    std::u16string owner;   // what the key is for: an action's name, or a macro's title
    std::u16string key;     // as the settings file writes it: Ctrl+Alt+S
    std::u16string reason;  // the system's words
    friend bool operator==(const HotkeyRefusal&, const HotkeyRefusal&) = default;
};

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

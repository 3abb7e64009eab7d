#pragma once

// Why the tool may not act now. The window answers the question in one place
// (what holds it at this moment); each command checks the holds that matter
// to it and waits or drops itself. A macro said from a hotkey under a dialog
// would change the state the dialog returns to; a list read again under a
// menu would change the entry the menu's command is for. Portable.

#include <cstdint>

namespace kiv {

enum class Hold : std::uint8_t {
    Dialog = 1 << 0,        // a dialog or message box of the tool's own is up
    Menu = 1 << 1,          // a menu of the window is open
    Delivering = 1 << 2,    // a macro is being said to the game
    ShuttingDown = 1 << 3,  // the window is closing, or the session ending
    KeysFree = 1 << 4,      // every hotkey is let go while a dialog has one typed
    Reading = 1 << 5,       // the macro file is being read off the window's thread
};

class Holds {
  public:
    constexpr Holds() = default;
    constexpr Holds(Hold hold) : bits_(static_cast<std::uint8_t>(hold)) {}  // NOLINT: a set of one
    constexpr Holds operator|(Holds other) const { return Holds(bits_ | other.bits_); }
    // Whether any of `these` holds.
    constexpr bool Any(Holds these) const { return (bits_ & these.bits_) != 0; }
    constexpr bool None() const { return bits_ == 0; }

  private:
    constexpr explicit Holds(unsigned bits) : bits_(static_cast<std::uint8_t>(bits)) {}
    std::uint8_t bits_ = 0;
};

constexpr Holds operator|(Hold a, Hold b) {
    return Holds(a) | Holds(b);
}

}  // namespace kiv

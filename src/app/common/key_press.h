#pragma once

// A key held down comes again and again: Windows repeats its WM_KEYDOWN at
// the keyboard's rate, each repeat with bit 30 of lParam (the key's state
// before the message) set. A key that says a macro acts on the press alone:
// held over a game that did not come forward, each repeat would say the
// macro again in public chat, as the hotkeys' MOD_NOREPEAT keeps theirs
// from doing. Portable.

#include <cstdint>

namespace kiv {

// `keyData`: the lParam of WM_KEYDOWN.
constexpr bool IsHeldKeyRepeat(std::uintptr_t keyData) {
    return (keyData & (std::uintptr_t{1} << 30)) != 0;
}

}  // namespace kiv

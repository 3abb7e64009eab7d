#pragma once

// Global hotkeys registered on the main window: they work while any other
// program (the game) has the focus. One set for the four actions, one for
// the macros' own keys. Windows only.

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/hotkey.h"
#include "settings/options.h"

namespace kiv {

using HotkeySet = std::array<std::optional<Hotkey>, kHotkeyActions>;

// Why Windows refused `key`, in the user's words: another program, or
// Windows itself (IsReservedByWindows), which RegisterHotKey does not tell
// apart.
std::u16string HotkeyRefusalReason(std::uint32_t error, const Hotkey& key);

// The call that registers a key, as a seam: no key is reserved under Wine,
// so a test stands in for Windows' refusal. Null: RegisterHotKey.
using RegisterHotkeyCall = BOOL(WINAPI*)(HWND window, int id, UINT modifiers, UINT key);
void SetRegisterHotkeyCall(RegisterHotkeyCall call);

class GlobalHotkeys {
  public:
    // The keys get the WM_HOTKEY ids firstId, firstId + 1, ... in order.
    explicit GlobalHotkeys(int firstId, HWND window = nullptr)
        : firstId_(firstId), window_(window) {}
    GlobalHotkeys(const GlobalHotkeys&) = delete;
    GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;
    ~GlobalHotkeys() { UnregisterAll(); }

    void SetWindow(HWND window) { window_ = window; }

    // Registers the keys that are set, in place of what this set registered
    // before. For each key Windows refused, the system's error code (most
    // often: another program holds it); 0 for the others.
    std::vector<std::uint32_t> Register(const std::vector<std::optional<Hotkey>>& keys);
    void UnregisterAll();
    // The position of the key a WM_HOTKEY is for, when it is one of this set's.
    std::optional<std::size_t> IndexOf(WPARAM id) const;

  private:
    int firstId_;
    HWND window_;
    std::vector<bool> registered_;
};

}  // namespace kiv

#pragma once

// The tool's global hotkeys, registered on its main window: they work while
// any other program (the game) has the focus. Windows only.

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/hotkey.h"
#include "app/options.h"

namespace kiv {

using HotkeySet = std::array<std::optional<Hotkey>, kHotkeyActions>;

// The hotkeys an Options holds: none where the text is empty or unreadable.
HotkeySet HotkeysOf(const Options& options);

// Why Windows refused a hotkey, in the user's words.
std::u16string HotkeyRefusalReason(std::uint32_t error);

class GlobalHotkeys {
  public:
    explicit GlobalHotkeys(HWND window = nullptr) : window_(window) {}
    GlobalHotkeys(const GlobalHotkeys&) = delete;
    GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;
    ~GlobalHotkeys() { UnregisterAll(); }

    void SetWindow(HWND window) { window_ = window; }

    // Registers the set ones, in place of what was registered before. For
    // each action whose key Windows refused, the system's error code (most
    // often: another program holds it); 0 for the others.
    std::array<std::uint32_t, kHotkeyActions> Register(const HotkeySet& keys);
    void UnregisterAll();
    // Which action a WM_HOTKEY is for.
    static std::optional<HotkeyAction> ActionOf(WPARAM id);

  private:
    HWND window_;
    std::array<bool, kHotkeyActions> registered_{};
};

}  // namespace kiv

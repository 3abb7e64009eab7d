#pragma once

// All the tool's global hotkeys: the four actions' and the macros' own,
// registered and released together, and what Windows refused of them.
// Windows only.

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/hotkeys/global_hotkeys_win32.h"
#include "app/hotkeys/hotkey_refusals.h"
#include "app/hotkeys/macro_hotkeys.h"
#include "settings/options.h"

namespace kiv {

class ToolHotkeys {
  public:
    void SetWindow(HWND window);

    // Registers the keys the options and the macros hold, in place of what was
    // registered before; returns what Windows refused. A macro's key whose
    // title the list no longer has (`titleExists`) is not registered: it
    // would take the key from every other program to do nothing.
    std::vector<HotkeyRefusal> Register(
        const Options& options, const MacroHotkeys& macros,
        const std::function<bool(std::u16string_view)>& titleExists);
    // Every key free, for other programs or to be typed into a dialog's field.
    void Release();

    // For the hotkey dialog, while every key is free: why Windows would not
    // take each of `keys` (empty: it would). They are free again at once.
    std::array<std::u16string, kHotkeyActions> Try(const HotkeySet& keys);
    // Why Windows refused each action's key at the last registration (empty:
    // it did not).
    std::array<std::u16string, kHotkeyActions> ActionRefusals() const;

    // What a WM_HOTKEY asks for: an action, or the macro with a title.
    std::optional<HotkeyAction> ActionOf(WPARAM id) const;
    std::optional<std::u16string> MacroTitleOf(WPARAM id) const;

  private:
    GlobalHotkeys actions_{1};
    GlobalHotkeys macros_{0x100};
    std::vector<std::uint32_t> actionErrors_;
    HotkeySet actionKeys_;                     // as last registered
    std::vector<std::u16string> macroTitles_;  // by the macro keys' positions
};

}  // namespace kiv

#pragma once

// "ホットキーの設定...": one hotkey field per action, OK and キャンセル.
// Windows only.

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/global_hotkeys_win32.h"

namespace kiv {

struct HotkeyDialogRequest {
    HotkeySet current;
    // The current keys Windows refused when they were registered.
    std::array<bool, kHotkeyActions> refused{};
    // Registers a chosen set; true for each action whose key was refused.
    std::function<std::array<bool, kHotkeyActions>(const HotkeySet&)> registerKeys;
    // The macros' own keys, shown to read (DescribeMacroHotkeys).
    std::u16string macroKeys;
};

// The set chosen and registered with OK, or nothing for キャンセル (then the
// caller registers the current set again). A refused key is reported in the
// dialog by its action's name and the dialog stays; OK once more keeps the
// choice, with the others working.
std::optional<HotkeySet> ShowHotkeyDialog(HWND owner, HINSTANCE instance,
                                          const HotkeyDialogRequest& request);

// A hotkey as the standard hotkey field holds it (HKM_SETHOTKEY) and back.
// The field cannot hold Win.
WORD ToHotkeyField(const std::optional<Hotkey>& hotkey);
std::optional<Hotkey> FromHotkeyField(WORD value);

}  // namespace kiv

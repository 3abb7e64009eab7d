#pragma once

// "ホットキーの設定...": one hotkey field per action, OK and キャンセル.
// Windows only.

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/hotkeys/global_hotkeys_win32.h"
#include "app/hotkeys/hotkey_conflicts.h"

namespace kiv {

struct HotkeyDialogRequest {
    HotkeySet current;
    // Why each current key did not work when it was registered (empty: it did).
    std::array<std::u16string, kHotkeyActions> refusals{};
    // Registers a chosen set for a trial; why each action's key was refused
    // (empty: it was not).
    std::function<std::array<std::u16string, kHotkeyActions>(const HotkeySet&)> registerKeys;
    // The macros' own keys, one line for each (DescribeMacroHotkeys).
    std::vector<std::u16string> macroKeys;
    // The rule for keys chosen, with the macros' keys at these positions
    // taken away (CheckActionKeys).
    std::function<ActionKeysCheck(const HotkeySet& chosen, const std::vector<std::size_t>& removed)>
        check;
};

struct HotkeyDialogResult {
    HotkeySet keys;
    // The macros' keys the user took away, by their positions in macroKeys.
    std::vector<std::size_t> removedMacroKeys;
};

// The set chosen and registered with OK, or nothing for キャンセル (then the
// caller registers the current set again). A key the rule refuses is told
// as soon as it is typed, and again on OK, and the dialog stays; a key kept
// for a title no macro has is offered to be taken over. A key Windows
// refuses is reported in the dialog by its action's name and the dialog stays; OK once more keeps
// the choice, with the others working. An IME conversion key is accepted, with a line under the
// fields saying what it costs.
std::optional<HotkeyDialogResult> ShowHotkeyDialog(HWND owner, HINSTANCE instance,
                                                   const HotkeyDialogRequest& request);

// A hotkey as the standard hotkey field holds it (HKM_SETHOTKEY) and back.
// The field cannot hold Win.
WORD ToHotkeyField(const std::optional<Hotkey>& hotkey);
std::optional<Hotkey> FromHotkeyField(WORD value);

}  // namespace kiv

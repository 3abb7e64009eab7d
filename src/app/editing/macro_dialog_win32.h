#pragma once

// "新しいマクロ" and "マクロの編集": a macro's title, its three chat lines and
// its own hotkey, with what the game will receive shown as it is typed.
// Windows only.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/hotkeys/hotkey_conflicts.h"
#include "macro/line_preparation.h"
#include "macro/macro.h"
#include "macro/macro_file_format.h"
#include "settings/hotkey.h"

namespace kiv {

struct MacroDialogRequest {
    bool isNew = false;  // caption "新しいマクロ", else "マクロの編集"
    Macro macro;         // the macro edited; empty for a new one
    TextEncoding fileEncoding = TextEncoding::Ansi;  // of the macro file: what may be written
    std::optional<Hotkey> hotkey;                    // the macro's own global hotkey now
    // Why `key` cannot be the hotkey of a macro titled `title`, or nothing
    // (MacroKeyClashOf): a key kept for a title no macro has is offered to be
    // taken over.
    std::function<std::optional<MacroKeyClash>(const Hotkey& key, const std::u16string& title)>
        hotkeyClash;
    // What the preview fills the macro's lines in from.
    std::function<FillContext()> previewContext;
};

struct MacroDialogResult {
    Macro macro;  // as composed (ComposeMacro)
    bool macroChanged =
        false;  // false when the text fields were left as they were: then nothing is written
    std::optional<Hotkey>
        hotkey;  // the key chosen (the stored one when the field was left untouched)
    // The title no macro has that the key was taken over from, on the user's word.
    std::optional<std::u16string> keyTakenFrom;
};

// Nothing for キャンセル; a dialog that could not be shown is told in a message
// box, like the hotkey dialog. What cannot be written, or a key that cannot be
// the macro's, is told in the dialog, which stays.
std::optional<MacroDialogResult> ShowMacroDialog(HWND owner, HINSTANCE instance,
                                                 const MacroDialogRequest& request);

}  // namespace kiv

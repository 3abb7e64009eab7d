#pragma once

// The changes a user makes to the macros from the tool, as the window runs
// them: the file written (macro_file_edit.h), a macro's hotkey moved with a
// new name, and undo of both, back to the list the user loaded. What the
// window then does is said by the outcome. Portable.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/hotkeys/macro_hotkeys.h"
#include "macro/macro_file_edit.h"
#include "settings/hotkey.h"

namespace kiv {

class MacroEditSession {
  public:
    // The user loaded the file at `path` (not the tool's own reload): undo
    // starts afresh from it.
    void Start(std::u16string path);

    struct Outcome {
        bool reload = false;  // the file changed: read it and show it again
        // Then select this macro (1-based; 0: none); nothing keeps the selection.
        std::optional<std::size_t> select;
        std::u16string told;          // to tell the user; empty for nothing
        bool hotkeysChanged = false;  // register them again
    };

    // A macro's key, as its dialog gave it; it moves with a new title. A key
    // kept for a title no macro has may be taken over from it.
    struct KeyChange {
        std::u16string oldTitle;
        std::u16string newTitle;
        std::optional<Hotkey> key;
        std::optional<std::u16string> takenFrom{};
    };
    // Gives the key to `hotkeys` as `change` says.
    static void GiveKey(const KeyChange& change, MacroHotkeys& hotkeys);

    // Makes `change` to the file on disk, against the list `shown`, and the
    // key change with it. A change with nothing to write still gives the key.
    Outcome Apply(const MacroChange& change, const MacroList& shown, MacroHotkeys& hotkeys,
                  const std::optional<KeyChange>& key = std::nullopt);
    bool CanUndo() const { return editor_ && editor_->CanUndo(); }
    Outcome Undo(MacroHotkeys& hotkeys);

  private:
    Outcome Handle(const MacroFileEditor::Result& result);

    // What a change did to the keys, to be undone with it (and nothing else:
    // a key given later on its own stays).
    struct KeyStep {
        std::vector<std::u16string> titles;
        std::vector<MacroHotkey> before;
    };

    std::optional<MacroFileEditor> editor_;
    // One for each change the editor can undo; nothing where it moved no key.
    std::vector<std::optional<KeyStep>> keySteps_;
};

}  // namespace kiv

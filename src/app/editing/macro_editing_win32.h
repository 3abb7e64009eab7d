#pragma once

// The user's changes to the macros from the tool's window: a new macro, an
// edit, a delete, a move, and undo. Each writes the macro file (off the
// window's thread where the file is not on this machine's fixed disk), moves
// a macro's key with its title, and has the file read again with the macro
// to select. Windows only.

#include <windows.h>

#include <functional>
#include <map>
#include <optional>

#include "app/editing/macro_dialog_win32.h"
#include "app/editing/macro_edit_session.h"
#include "app/hotkeys/hotkey_keeper_win32.h"
#include "app/macro_file/shown_macro_file_win32.h"
#include "app/notices/notice_board_win32.h"
#include "app/tokens/macro_tokens_win32.h"

namespace kiv {

class MacroEditing {
  public:
    struct Host {
        HWND window = nullptr;
        HINSTANCE instance = nullptr;
        // The file shown (a tab's): each keeps its own undo.
        std::function<ShownMacroFile&()> file;
        HotkeyKeeper* keys = nullptr;
        NoticeBoard* notices = nullptr;
        // The list box's selected entry, -1 for none.
        std::function<int()> selected;
        // What the dialog's preview fills a macro's lines in from.
        MacroTokens* tokens = nullptr;
    };
    void Attach(Host host) { host_ = std::move(host); }

    // A file was loaded in place of `file`'s (not the tool's own reading):
    // its undo starts afresh. Forget: `file` is gone (its tab closed).
    void Start(const ShownMacroFile& file, const std::u16string& path) {
        sessions_[&file].Start(path);
    }
    void Forget(const ShownMacroFile& file) { sessions_.erase(&file); }
    bool CanUndo() const;
    // The file is being written off the window's thread.
    bool Writing() const { return writing_; }

    // Each acts on the selected macro, which the menu's state makes sure of.
    void NewMacro();
    void EditMacro();
    void DeleteMacro();
    // Trades places with `with` (1-based), the macro on the row shown above
    // or below it; 0 for the next one in the file.
    void Move(MacroChange::Kind upOrDown, std::size_t with = 0);
    void Undo();

  private:
    using KeyChange = MacroEditSession::KeyChange;
    void Change(const MacroChange& change, const std::optional<KeyChange>& key = std::nullopt);
    using Edit = std::function<MacroEditSession::Outcome(
        MacroEditSession& session, const MacroList& shown, MacroHotkeys& keys)>;
    // On the file shown when it began, whatever is shown when it ends.
    void Run(const Edit& edit);
    MacroEditSession::Outcome OffTheWindowsThreadWhereSlow(ShownMacroFile& file, const Edit& edit);
    void Follow(ShownMacroFile& file, const MacroEditSession::Outcome& outcome);
    // `position`: the macro edited, from 1; 0 for a new one.
    std::optional<MacroDialogResult> AskForMacro(const Macro& macro, std::size_t position);
    std::size_t SelectedPosition() const { return static_cast<std::size_t>(host_.selected()) + 1; }

    Host host_;
    std::map<const ShownMacroFile*, MacroEditSession> sessions_;
    bool writing_ = false;
};

}  // namespace kiv

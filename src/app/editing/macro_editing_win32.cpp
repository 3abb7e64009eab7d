#include "app/editing/macro_editing_win32.h"

#include "app/common/app_texts.h"
#include "app/common/tool_name.h"
#include "app/macro_file/macro_file_reading_win32.h"
#include "platform/local_clock.h"
#include "platform/off_thread_win32.h"
#include "platform/owned_window_win32.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

// While the file is written off the window's thread: the wait cursor, the
// reason Windows shows the user who logs off meanwhile, and the flag that
// refuses the log-off; undone however the write ends.
class WriteUnderWay {
  public:
    WriteUnderWay(HWND window, bool& writing)
        : window_(window),
          writing_(writing),
          previous_(SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {  // IDC_WAIT
        writing_ = true;
        ShutdownBlockReasonCreate(window_, Wide(std::u16string(texts::kWritingMacroFile)));
    }
    ~WriteUnderWay() {
        ShutdownBlockReasonDestroy(window_);
        writing_ = false;
        SetCursor(previous_);
    }
    WriteUnderWay(const WriteUnderWay&) = delete;
    WriteUnderWay& operator=(const WriteUnderWay&) = delete;

  private:
    HWND window_;
    bool& writing_;
    HCURSOR previous_;
};

}  // namespace

std::optional<MacroDialogResult> MacroEditing::AskForMacro(const Macro& macro,
                                                           std::size_t position) {
    const bool isNew = position == 0;
    const std::optional<std::u16string> oldTitle =
        isNew ? std::nullopt : std::optional(macro.Title());
    const MacroDialogRequest request{
        .isNew = isNew,
        .macro = macro,
        .fileEncoding = host_.file().List().Encoding(),
        .hotkey = isNew ? std::nullopt : host_.keys->MacroKeys().KeyOf(macro.Title()),
        .hotkeyClash =
            [&](const Hotkey& key, const std::u16string& title) {
                return host_.keys->ClashOf(key, title, oldTitle);
            },
        .previewContext =
            [&] {
                return host_.tokens != nullptr
                           ? host_.tokens->PreviewOf({host_.file().List().FileName(), position})
                           : FillContext{LocalTimeOfDay};
            }};
    return ShowMacroDialog(host_.window, host_.instance, request);
}

void MacroEditing::NewMacro() {
    // Every key free while the dialog is open, so that any can be typed into
    // its field, and until the change is made: then registered once.
    const HotkeyKeeper::FreeForDialog free(*host_.keys);
    const std::optional<MacroDialogResult> chosen = AskForMacro(Macro(), 0);
    if (!chosen) return;
    const int selected = host_.selected();
    const std::u16string& title = chosen->macro.Title();
    Change({MacroChange::Kind::Insert, selected < 0 ? 0 : static_cast<std::size_t>(selected) + 1,
            chosen->macro},
           chosen->hotkey
               ? std::optional(KeyChange{title, title, chosen->hotkey, chosen->keyTakenFrom})
               : std::nullopt);
}

void MacroEditing::EditMacro() {
    const std::size_t position = SelectedPosition();
    const Macro macro = host_.file().List().Item(position);
    const HotkeyKeeper::FreeForDialog free(*host_.keys);
    const std::optional<MacroDialogResult> chosen = AskForMacro(macro, position);
    if (!chosen) return;
    const KeyChange key{macro.Title(), chosen->macro.Title(), chosen->hotkey, chosen->keyTakenFrom};
    if (!chosen->macroChanged) {
        // Only the key: nothing to write in the macro file.
        MacroHotkeys keys = host_.keys->MacroKeys();
        MacroEditSession::GiveKey(key, keys);
        host_.keys->SetMacroKeys(std::move(keys));
        return;
    }
    Change({MacroChange::Kind::Replace, position, chosen->macro}, key);
}

void MacroEditing::DeleteMacro() {
    const std::size_t position = SelectedPosition();
    const std::u16string question =
        Fill(texts::kDeleteQuestion, {host_.file().List().Title(position)});
    if (MessageBoxOverOwner(host_.window, Wide(question), kToolCaption,
                            MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    Change({MacroChange::Kind::Delete, position, {}});
}

void MacroEditing::Move(MacroChange::Kind upOrDown, std::size_t with) {
    Change({upOrDown, SelectedPosition(), {}, with});
}

bool MacroEditing::CanUndo() const {
    if (!host_.file) return false;  // the window's menu is made before the features
    const auto session = sessions_.find(&host_.file());
    return session != sessions_.end() && session->second.CanUndo();
}

void MacroEditing::Change(const MacroChange& change, const std::optional<KeyChange>& key) {
    Run([&](MacroEditSession& session, const MacroList& shown, MacroHotkeys& keys) {
        return session.Apply(change, shown, keys, key);
    });
}

void MacroEditing::Undo() {
    Run([](MacroEditSession& session, const MacroList&, MacroHotkeys& keys) {
        return session.Undo(keys);
    });
}

void MacroEditing::Run(const Edit& edit) {
    ShownMacroFile& file = host_.file();
    Follow(file, OffTheWindowsThreadWhereSlow(file, edit));
}

// The edit reads and writes the file: on a share or a USB stick, or where a
// sync client keeps its contents away until they are read, on a thread of
// its own, the window answering meanwhile and taking no command. That
// thread works on copies of the list and the keys: the window's own may be
// read meanwhile (a preview, a close of the session).
MacroEditSession::Outcome MacroEditing::OffTheWindowsThreadWhereSlow(ShownMacroFile& file,
                                                                     const Edit& edit) {
    MacroHotkeys keys = host_.keys->MacroKeys();
    MacroEditSession::Outcome outcome;
    MacroEditSession& session = sessions_[&file];
    if (!ReadingMayWait(file.Path())) {
        outcome = edit(session, file.List(), keys);
    } else {
        // A copy: the window's own list may be read, or replaced, meanwhile.
        const MacroList shown = file.List();  // NOLINT(performance-unnecessary-copy-initialization)
        const WriteUnderWay writing(host_.window, writing_);
        RunServingMessages(host_.window, [&] { outcome = edit(session, shown, keys); });
    }
    host_.keys->SetMacroKeys(std::move(keys));  // written at once where they changed
    return outcome;
}

void MacroEditing::Follow(ShownMacroFile& file, const MacroEditSession::Outcome& outcome) {
    if (outcome.reload) {
        file.ReadAfterEdit(outcome.select ? std::optional(static_cast<int>(*outcome.select) - 1)
                                          : std::nullopt);
    } else if (outcome.hotkeysChanged) {
        host_.keys->Register();
    }
    if (!outcome.told.empty()) host_.notices->ShowError(outcome.told);
}

}  // namespace kiv

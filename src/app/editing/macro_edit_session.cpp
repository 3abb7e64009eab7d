#include "app/editing/macro_edit_session.h"

#include "app/common/app_texts.h"
#include "platform/file_error.h"

namespace kiv {
namespace {

MacroEditSession::Outcome Told(std::u16string text) {
    MacroEditSession::Outcome outcome;
    outcome.told = std::move(text);
    return outcome;
}

}  // namespace

void MacroEditSession::GiveKey(const KeyChange& change, MacroHotkeys& hotkeys) {
    if (change.takenFrom) hotkeys.Set(*change.takenFrom, *change.takenFrom, std::nullopt);
    hotkeys.Set(change.oldTitle, change.newTitle, change.key);
}

void MacroEditSession::Start(std::u16string path) {
    editor_.emplace(std::move(path));
    keySteps_.clear();
}

MacroEditSession::Outcome MacroEditSession::Handle(const MacroFileEditor::Result& result) {
    using Status = MacroFileEditor::Result::Status;
    Outcome outcome;
    switch (result.status) {
        case Status::Written:
            outcome.reload = true;
            outcome.select = result.select;
            break;
        case Status::Unchanged:
            break;
        case Status::Conflict:
            // Never over an edit made outside the tool: the list shows the
            // file as it is now, and the user decides again.
            outcome.reload = true;
            outcome.told = texts::kChangedOutside;
            break;
        case Status::Refused:
            outcome.told = result.message;
            break;
    }
    return outcome;
}

MacroEditSession::Outcome MacroEditSession::Apply(const MacroChange& change, const MacroList& shown,
                                                  MacroHotkeys& hotkeys,
                                                  const std::optional<KeyChange>& key) {
    if (!editor_) Start(shown.FileName());
    const MacroHotkeys before = hotkeys;
    std::optional<KeyStep> keyStep;
    if (key) {
        std::vector<std::u16string> titles = {key->oldTitle, key->newTitle};
        if (key->takenFrom) titles.push_back(*key->takenFrom);
        std::vector<MacroHotkey> entries = hotkeys.EntriesOf(titles);
        keyStep = KeyStep{std::move(titles), std::move(entries)};
    }
    MacroFileEditor::Result result;
    try {
        result = editor_->Apply(change, shown);
    } catch (const FileError& error) {
        return Told(Fill(texts::kNotWritten, {error.UserMessage()}));
    } catch (const std::exception&) {  // too large to hold twice, most likely
        return Told(std::u16string(texts::kNotChanged));
    }
    Outcome outcome = Handle(result);
    const bool written = result.status == MacroFileEditor::Result::Status::Written;
    if (written || result.status == MacroFileEditor::Result::Status::Unchanged) {
        if (key) GiveKey(*key, hotkeys);
        outcome.hotkeysChanged = !(hotkeys == before);
    }
    if (written) keySteps_.push_back(outcome.hotkeysChanged ? std::move(keyStep) : std::nullopt);
    return outcome;
}

MacroEditSession::Outcome MacroEditSession::Undo(MacroHotkeys& hotkeys) {
    if (!CanUndo()) return {};
    MacroFileEditor::Result result;
    try {
        result = editor_->Undo();
    } catch (const FileError& error) {
        return Told(Fill(texts::kNotUndone, {error.UserMessage()}));
    } catch (const std::exception&) {
        return Told(std::u16string(texts::kNotUndoneKept));
    }
    Outcome outcome = Handle(result);
    if (result.status == MacroFileEditor::Result::Status::Written && !keySteps_.empty()) {
        if (const std::optional<KeyStep>& step = keySteps_.back()) {
            const MacroHotkeys before = hotkeys;
            hotkeys.Restore(step->titles, step->before);
            outcome.hotkeysChanged = !(hotkeys == before);
        }
        keySteps_.pop_back();
    }
    return outcome;
}

}  // namespace kiv

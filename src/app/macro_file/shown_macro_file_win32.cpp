#include "app/macro_file/shown_macro_file_win32.h"

#include <algorithm>

#include "app/common/app_texts.h"
#include "app/macro_file/file_watch_win32.h"
#include "app/macro_file/macro_file_choice.h"
#include "dialogs/open_file_dialog_win32.h"
#include "dialogs/open_file_request.h"
#include "platform/case_fold.h"
#include "platform/file_system.h"
#include "platform/shell_win32.h"
#include "platform/system_error.h"
#include "platform/window_counts_win32.h"

namespace kiv {
namespace {

constexpr UINT kReadingRetryMs = 100;
constexpr char16_t kMacroFileFilter[] = u"テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*";

// A reading done off the window's thread waits while the window is not free:
// under a message box or a dialog of its own (whose command was given for the
// list shown), a menu, or a delivery.
constexpr Holds kHoldReadings = Hold::Dialog | Hold::Menu | Hold::Delivering;

// Nor another file while a macro is said, under a dialog of the tool's own,
// or under a menu (a hotkey comes through its loop), whose command is for
// the list it was opened over.
constexpr Holds kHoldSwitching = Hold::Dialog | Hold::Menu | Hold::Delivering | Hold::ShuttingDown;

// A notice of files found gone: what happened, each path, what to do.
std::u16string GoneText(std::u16string_view said, const std::vector<std::u16string>& paths,
                        std::u16string_view toDo) {
    std::u16string text(said);
    for (const std::u16string& path : paths) text += u"\n" + path;
    return text += toDo;
}

bool IsAmong(const std::vector<std::u16string>& paths, std::u16string_view path) {
    return std::ranges::any_of(
        paths, [path](const std::u16string& in) { return EqualIgnoringCase(in, path); });
}

}  // namespace

void ShownMacroFile::LoadKept(const std::u16string& path, KeptTab tab) {
    firstPath_ = path;
    Load(path,
         tab == KeptTab::Alone   ? LoadWay::First
         : tab == KeptTab::Shown ? LoadWay::Tab
                                 : LoadWay::TabBehind,
         true);
}

void ShownMacroFile::LoadFirst(const std::u16string& path, const std::u16string& defaultPath) {
    firstPath_ = path;
    Load(path, LoadWay::First, !EqualIgnoringCase(path, defaultPath) && Recent().files.Has(path));
}

void ShownMacroFile::Load(const std::u16string& path) {
    Load(path, LoadWay::Chosen, false);
}

// A file the user had before is loaded as it is, or not at all.
void ShownMacroFile::Load(const std::u16string& path, LoadWay way, bool hadBefore) {
    loadWay_ = way;
    stepping_ = way == LoadWay::Step ? path : u"";
    StartReading({.path = path,
                  .purpose = MacroFileReadings::Purpose::Load,
                  .select = std::nullopt,
                  .missing = hadBefore ? MacroList::MissingFile::Fail
                                       : MacroList::MissingFile::WriteDefaults});
}

void ShownMacroFile::StartRecent(RecentFiles recent, TextEncoding settings) {
    Recent().files = std::move(recent);
    Recent().settings = settings;
    Recent().inUse = !Recent().files.Files().empty();
}

std::optional<RecentFiles> ShownMacroFile::RecentToKeep() {
    LeavePlace();
    if (!Recent().inUse) return std::nullopt;
    return Recent().files;
}

RecentFilesMenu ShownMacroFile::OfferRecent() const {
    RecentFilesMenu menu;
    for (const RecentFile& file : Recent().files.Files()) {
        if (list_.IsLoaded() && EqualIgnoringCase(file.path, list_.FileName())) {
            menu.ticked = menu.items.size();
        }
        menu.items.push_back(RecentFileItemText(menu.items.size(), file.path));
    }
    return menu;
}

void ShownMacroFile::ChooseRecent(std::size_t index) {
    if (host_.holds().Any(kHoldSwitching) || index >= Recent().files.Files().size()) return;
    Recent().inUse = true;
    Load(Recent().files.Files()[index].path, LoadWay::Recent, true);
}

void ShownMacroFile::ClearRecent() {
    Recent().files.Clear();
    Recent().inUse = true;
}

void ShownMacroFile::StepRecent(int step) {
    if (host_.holds().Any(kHoldSwitching | Hold::KeysFree)) return;
    std::vector<std::u16string> skipped;
    // Only a file on this machine's disks is looked at here: a share that
    // does not answer would hold the window. One elsewhere is found gone
    // when it is read, and passed from then on. One on a drive that is not
    // there is passed this time only: the next step looks for it again.
    const std::optional<std::u16string> next = Recent().files.Step(
        readings_.Pending() && !stepping_.empty() ? stepping_ : Path(), step,
        [this](std::u16string_view path) {
            const std::u16string file(path);
            if (MissingDriveOf(file)) return false;
            return FileWatch::WhereIs(file) == FileWatch::Where::Elsewhere
                       ? !IsAmong(Recent().gone, file)
                       : !IsGoneFile(file);
        },
        skipped);
    std::erase_if(skipped,
                  [](const std::u16string& path) { return MissingDriveOf(path).has_value(); });
    for (const std::u16string& path : skipped) {
        if (!IsAmong(Recent().gone, path)) Recent().gone.push_back(path);
    }
    if (!skipped.empty()) TellGone();
    if (!next) {
        if (host_.tip != nullptr) host_.tip->Show(std::u16string(texts::kNoOtherFile));
        return;
    }
    Load(*next, LoadWay::Step, true);
}

void ShownMacroFile::LeavePlace() {
    if (!list_.IsLoaded()) return;
    const int selected = host_.selected();
    FilePlace place;
    place.topIndex = host_.topMacro().value_or(0);
    if (selected >= 0 && static_cast<std::size_t>(selected) < list_.Count()) {
        place.position = static_cast<std::size_t>(selected) + 1;
        place.title = std::u16string(list_.Title(place.position));
    }
    Recent().files.Leave(list_.FileName(), std::move(place));
}

// The user had the file before, and it is gone: never made anew. Chosen in
// the menu, the user is looking and may take it out of the menu.
void ShownMacroFile::Gone(const std::u16string& path) {
    if (loadWay_ == LoadWay::Tab || loadWay_ == LoadWay::TabBehind) {
        // One notice names every tab left empty: the player closes them or
        // opens another file in them.
        if (!IsAmong(Recent().goneTabs, path)) Recent().goneTabs.push_back(path);
        host_.notices->Notify(
            {NoticeKind::TabFileGone,
             GoneText(texts::kTabFilesGone, Recent().goneTabs, texts::kCloseTabOrOpenAnother)});
        return;
    }
    if (!IsAmong(Recent().gone, path)) Recent().gone.push_back(path);
    if (loadWay_ == LoadWay::Recent && GetForegroundWindow() == host_.window) {
        if (host_.notices->AskYesNo(Fill(texts::kRecentFileGoneAsk, {path}))) {
            Recent().files.Remove(path);
            Recent().inUse = true;
        }
        return;
    }
    TellGone();
}

// Every file found gone this run, in one notice: one told later would
// otherwise take the place of one the user has not seen yet.
void ShownMacroFile::TellGone() {
    host_.notices->Notify(
        {NoticeKind::RecentFileGone,
         GoneText(texts::kRecentFilesGone, Recent().gone,
                  list_.IsLoaded() ? texts::kListKept : texts::kChooseAnotherFile)});
}

// Another file in place of the one shown; one the user had before comes
// back at the place it was left at.
void ShownMacroFile::Loaded(MacroList list, const std::u16string& path) {
    LeavePlace();
    lostChoice_.reset();
    const auto isPath = [&path](const std::u16string& in) { return EqualIgnoringCase(in, path); };
    std::erase_if(Recent().gone, isPath);
    std::erase_if(Recent().goneTabs, isPath);
    std::optional<FilePlace> place;
    if (loadWay_ != LoadWay::Chosen) {
        if (const FilePlace* left = Recent().files.PlaceOf(path)) place = *left;
    }
    list_ = std::move(list);
    std::optional<int> select;
    std::optional<std::size_t> top;
    if (place && list_.Count() > 0) {
        const std::optional<std::size_t> position = RestoredPosition(
            *place, list_.Count(), [this](std::size_t at) { return list_.Title(at); });
        select = position ? static_cast<int>(*position) - 1 : -1;
        top = std::min(place->topIndex, list_.Count() - 1);
    }
    host_.show(list_, select, ListCame::Loaded, top);
    if (loadWay_ != LoadWay::Step && loadWay_ != LoadWay::TabBehind) Recent().files.Loaded(path);
    if (Recent().files.Files().size() > 1) Recent().inUse = true;
    if (loadWay_ == LoadWay::Step && host_.tip != nullptr) {
        host_.tip->Show(Fill(texts::kFileSwitchedTo, {FileNameOf(path)}));
    }
}

void ShownMacroFile::ReadAfterEdit(std::optional<int> select) {
    StartReading({list_.FileName(), MacroFileReadings::Purpose::AfterEdit, select});
}

void ShownMacroFile::StartReading(MacroFileReadings::Request request) {
    if (auto done = readings_.Start(host_.window, host_.readingDoneMessage, std::move(request))) {
        ReadingDone(std::move(*done));
    }
}

bool ShownMacroFile::TakeReading(WPARAM number) {
    if (host_.holds().Any(kHoldReadings)) {
        // Posts can arrive out of turn: the latest reading has the highest number.
        readingToTake_ = std::max(readingToTake_, number);
        SetTimer(host_.window, host_.readingTimer, kReadingRetryMs, nullptr);
        return false;
    }
    if (auto done = readings_.Take(number)) ReadingDone(std::move(*done));
    window_counts::Add(host_.window, window_counts::kReadings);
    return true;
}

void ShownMacroFile::ReadingDone(MacroFileReadings::Done done) {
    using Purpose = MacroFileReadings::Purpose;
    MacroFileRead& read = done.read;
    const std::u16string& path = done.request.path;
    const std::u16string unreadable(texts::kMacroFileUnreadable);
    switch (done.request.purpose) {
        case Purpose::Load:
            stepping_.clear();
            if (read.problem) {
                // The list shown and its selection stay as they were, and a
                // reading of it this one replaced is looked for again.
                if (list_.IsLoaded()) Changed();
                if (read.gone) return Gone(path);
                host_.notices->Tell(unreadable + *read.problem);
                return;
            }
            TellIfUnsettled(read, path);
            Loaded(std::move(read.list), path);
            TellLeftoverSideFiles(path, read.leftovers);
            host_.loaded(path);
            host_.titlesChanged();
            watch_.Start(host_.window, host_.changedMessage, path, read.stamp);
            autoReload_.Loaded(read.stamp);
            if (read.stampAfter != read.stamp) Changed();
            return;
        case Purpose::AfterEdit:
            if (read.problem) {
                host_.titlesChanged();  // a key the edit moved
                host_.notices->ShowError(unreadable + *read.problem);
                return;
            }
            TellIfUnsettled(read, path);
            // The tool's own write is no change to look at: a look the watch
            // made meanwhile saw what the list shows now.
            KillTimer(host_.window, host_.settleTimer);
            ShowAgain(std::move(read), done.request.select, ListCame::Edited);
            host_.titlesChanged();
            return;
        case Purpose::Changed:
            if (read.problem) return ReloadFailed(read);
            TellIfUnsettled(read, path);
            ShowAgain(std::move(read), std::nullopt, ListCame::Reloaded);
            host_.titlesChanged();
            window_counts::Add(host_.window, window_counts::kReloads);
            host_.notices->Drop(NoticeKind::ReloadFailed);
            return;
    }
}

// A file held by another program is tried again for as long as it is there;
// the user is told once it has failed for a while. One that cannot be read as
// it is (no text, too large) is told at once, and one that is gone is left to
// the watch.
void ShownMacroFile::ReloadFailed(const MacroFileRead& read) {
    using Failure = AutoReload::Failure;
    const Failure why = read.gone ? Failure::Gone : read.refused ? Failure::Refused : Failure::Held;
    const AutoReload::Retry retry = autoReload_.ReloadFailed(why);
    if (retry.afterMs) SetTimer(host_.window, host_.settleTimer, *retry.afterMs, nullptr);
    if (retry.tell) {
        host_.notices->Notify(
            {NoticeKind::ReloadFailed,
             Fill(why == Failure::Held ? texts::kReloadStillFailing : texts::kReloadFailed,
                  {read.problem.value_or(u"")})});
    }
}

// A file that changed all through its readings is shown as last read, and
// read again once the watch sees it still.
void ShownMacroFile::TellIfUnsettled(const MacroFileRead& read, const std::u16string& path) {
    if (!read.unsettled) {
        host_.notices->Drop(NoticeKind::ReadMidSave);
        return;
    }
    host_.notices->Notify({NoticeKind::ReadMidSave, Fill(texts::kReadWhileWritten, {path})});
}

// The list read again in place of the one shown; the scroll position stays,
// and the selection is `select`, or by default the macro that was selected,
// wherever it is now (none where it is gone). One gone is selected again by
// a later reading that brings it back while nothing else was selected: a
// save in two steps may be read at its first.
void ShownMacroFile::ShowAgain(MacroFileRead read, std::optional<int> select, ListCame came) {
    int keep = select.value_or(-1);
    if (select) {
        lostChoice_.reset();
    } else {
        const int selected = host_.selected();
        const std::optional<ChosenMacro> chosen =
            selected >= 0 ? ChosenIn(list_, selected) : lostChoice_;
        keep = chosen ? FoundAgain(*chosen, read.list) : -1;
        lostChoice_ = keep < 0 ? chosen : std::nullopt;
    }
    list_ = std::move(read.list);
    host_.show(list_, keep, came, std::nullopt);
    autoReload_.Reloaded(read.stamp);
    watch_.Saw(read.stamp);
}

// Told once a run for each file: they stay until the user deals with them.
void ShownMacroFile::TellLeftoverSideFiles(const std::u16string& path,
                                           const std::vector<std::u16string>& leftovers) {
    if (leftovers.empty() || std::ranges::find(leftoversTold_, path) != leftoversTold_.end()) {
        return;
    }
    leftoversTold_.push_back(path);
    host_.notices->Notify({NoticeKind::LeftoverFiles, LeftoverSideFilesText(path, leftovers)});
}

void ShownMacroFile::ChooseInDialog() {
    if (const std::optional<std::u16string> path = AskForFile()) Load(*path);
}

std::optional<std::u16string> ShownMacroFile::AskForFile() {
    if (host_.holds().Any(Hold::Delivering)) return std::nullopt;
    const OpenFileDialogResult chosen =
        ShowOpenFileDialog(host_.window, u"", Path(), kMacroFileFilter);
    if (chosen.error != 0) {
        host_.notices->ShowError(OpenFileDialogFailureMessage(chosen.error));
    } else if (const auto refusal = MacroFilePathRefusal(chosen.path, Recent().settings)) {
        host_.notices->ShowError(*refusal);  // nothing is made, nothing changes
    } else if (!chosen.path.empty()) {
        return chosen.path;
    }
    return std::nullopt;
}

void ShownMacroFile::Dropped(HDROP drop) {
    if (const std::optional<std::u16string> path = DroppedFile(drop)) Load(*path);
}

std::optional<std::u16string> ShownMacroFile::DroppedFile(HDROP drop) {
    const DropOutcome outcome =
        DecideDrop(DroppedPaths(drop),
                   {.look =
                        [](const std::u16string& path) {
                            const std::wstring wide(path.begin(), path.end());
                            const DWORD attributes = GetFileAttributesW(wide.c_str());
                            return DroppedPath{attributes != INVALID_FILE_ATTRIBUTES,
                                               attributes != INVALID_FILE_ATTRIBUTES &&
                                                   (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
                        },
                    .shortcutTarget = ShortcutTarget,
                    .settings = Recent().settings});
    if (host_.holds().Any(Hold::Delivering | Hold::Dialog)) return std::nullopt;
    if (!outcome.load && !outcome.message.empty()) host_.notices->Tell(outcome.message);
    return outcome.load;
}

void ShownMacroFile::OpenInEditor() {
    const std::u16string file = Path();
    if (const DWORD error = kiv::OpenInEditor(host_.window, file); error != 0) {
        host_.notices->ShowError(Fill(texts::kEditorNotOpened, {file, SystemErrorText(error)}));
    }
}

bool ShownMacroFile::Handle(UINT message, WPARAM wParam) {
    if (message == host_.changedMessage) {
        Changed();
        return true;
    }
    if (message == host_.readingDoneMessage) {
        if (!TakeReading(wParam)) {
            window_counts::Add(host_.window, window_counts::kReadingsPutOff);
        }
        return true;
    }
    return false;
}

bool ShownMacroFile::HandleTimer(WPARAM id) {
    if (id == host_.settleTimer) {
        Settled();
        return true;
    }
    if (id == host_.readingTimer) {
        KillTimer(host_.window, host_.readingTimer);
        TakeReading(readingToTake_);
        return true;
    }
    return false;
}

void ShownMacroFile::Stop() {
    watch_.Stop();
    readings_.Cancel();
}

// Read once the file has been still for a moment: editors save in steps.
void ShownMacroFile::Changed() {
    SetTimer(host_.window, host_.settleTimer, AutoReload::kSettleMs, nullptr);
}

void ShownMacroFile::Settled() {
    KillTimer(host_.window, host_.settleTimer);
    if (!list_.IsLoaded()) return;
    window_counts::Add(host_.window, window_counts::kFileLooks);
    // Not during a delivery, nor under a dialog, a message box or a menu
    // (whose command is for the entry the user chose; the tool's own write
    // off the window's thread disables the window as a dialog does), nor
    // while another reading is under way: later.
    if (host_.holds().Any(kHoldReadings) || readings_.Pending()) {
        SetTimer(host_.window, host_.settleTimer, AutoReload::kAgainMs, nullptr);
        return;
    }
    switch (autoReload_.Settled(watch_.LastLook(), list_.Count() > 0)) {
        case AutoReload::Step::Reload:
            StartReading({list_.FileName(), MacroFileReadings::Purpose::Changed, std::nullopt});
            return;
        case AutoReload::Step::WaitAgain:
            SetTimer(host_.window, host_.settleTimer, AutoReload::kAgainMs, nullptr);
            return;
        case AutoReload::Step::Nothing:
            return;
    }
}

}  // namespace kiv

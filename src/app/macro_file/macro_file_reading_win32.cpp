#include "app/macro_file/macro_file_reading_win32.h"

#include <mutex>
#include <new>

#include "app/common/app_texts.h"
#include "app/macro_file/file_watch_win32.h"
#include "platform/file_error.h"
#include "platform/file_kind_win32.h"
#include "platform/wide_text.h"
#include "platform/workers_win32.h"

namespace kiv {
namespace {

// What the reading that threw the exception being handled is told with.
// Nothing may leave it: on a reading's thread that would end the program.
void TellFailure(MacroFileRead& read, const std::u16string& path,
                 MacroList::MissingFile missing) noexcept {
    read.problem.emplace();  // told, if only as a failed reading
    try {
        try {
            throw;
        } catch (const FileError& error) {
            read.refused = error.FailedStep() == FileError::Step::NotText ||
                           error.FailedStep() == FileError::Step::TooLarge;
            read.problem = error.UserMessage();
            if (const std::optional<std::u16string> drive = MissingDriveOf(path)) {
                *read.problem += Fill(texts::kDriveMissing, {*drive});
            } else {
                read.gone = missing == MacroList::MissingFile::Fail && IsGoneFile(path);
            }
        } catch (const std::bad_alloc&) {
            read.refused = true;
            read.problem = Fill(texts::kMacroFileTooLarge, {path});
        } catch (...) {
            read.problem = Fill(texts::kMacroFileNotRead, {path});
        }
    } catch (...) {  // NOLINT(bugprone-empty-catch): no words to be had, the failure is told bare
    }
}

}  // namespace

bool IsGoneFile(const std::u16string& path) {
    const std::wstring wide(path.begin(), path.end());
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) &&
           !MissingDriveOf(path);
}

std::optional<std::u16string> MissingDriveOf(const std::u16string& path) {
    std::optional<std::u16string> root = FileWatch::DriveRoot(path);
    if (!root || GetDriveTypeW(Wide(*root)) != DRIVE_NO_ROOT_DIR) return std::nullopt;
    return root;
}

bool ReadingMayWait(const std::u16string& path) {
    if (FileWatch::WhereIs(path) == FileWatch::Where::Elsewhere) return true;
    const std::optional<FileKind> kind = FileKindOf(path);
    return kind && ContentsAway(*kind);
}

MacroFileRead ReadMacroFile(const std::u16string& path, MacroList::MissingFile missing,
                            bool loaded) {
    MacroFileRead read;
    try {
        const auto stampOf = [&] {
            return IsOrdinaryFile(path) ? FileWatch::Look(path) : std::nullopt;
        };
        for (int reading = 1;; ++reading) {
            // Taken before the reading: a save that lands meanwhile is seen
            // after it. Windows promises a write time only once the writer's
            // handle is closed (and none for a file written through a
            // mapping): a same-size rewrite still under way may pass. Editors
            // save whole, through a new file or truncating: their saves do not.
            read.stamp = stampOf();
            MacroList list;
            list.SetFileName(path);
            list.LoadData(missing);
            read.list = std::move(list);
            read.stampAfter = stampOf();
            if (read.stampAfter == read.stamp) break;
            if (reading == kStableReadings) {
                read.unsettled = true;
                break;
            }
            // A file deleted meanwhile is not made anew.
            missing = MacroList::MissingFile::Fail;
            Sleep(kBetweenReadingsMs);  // for the save under way to end
        }
        if (loaded) read.leftovers = LeftoverSideFiles(path);
    } catch (...) {
        TellFailure(read, path, missing);
    }
    return read;
}

struct MacroFileReadings::Shared {
    std::mutex mutex;
    HWND window = nullptr;  // none once cancelled
    UINT message = 0;
    WPARAM latest = 0;  // the number of the reading asked for last
    bool pending = false;
    std::optional<Done> done;
};

std::optional<MacroFileReadings::Done> MacroFileReadings::Start(HWND window, UINT message,
                                                                Request request) {
    if (!shared_) shared_ = std::make_shared<Shared>();
    WPARAM number = 0;
    {
        const std::lock_guard lock(shared_->mutex);
        number = ++shared_->latest;
        shared_->done.reset();
        shared_->pending = false;
        shared_->window = window;
        shared_->message = message;
    }
    const MacroList::MissingFile missing = request.purpose == Purpose::Load
                                               ? request.missing
                                               // A file deleted meanwhile is not made anew
                                               : MacroList::MissingFile::Fail;
    const bool loaded = request.purpose == Purpose::Load;
    if (ReadingMayWait(request.path)) {
        {
            const std::lock_guard lock(shared_->mutex);
            shared_->pending = true;
        }
        // The request is the thread's own from here: its moves allocate nothing.
        const bool started =
            StartWorker([shared = shared_, number, missing, loaded, request]() mutable {
                Done done{std::move(request), {}};
                done.read = ReadMacroFile(done.request.path, missing, loaded);
                const std::lock_guard lock(shared->mutex);
                if (shared->window == nullptr) return;  // the window is gone
                // Pending still, until the window takes it.
                if (shared->latest == number) shared->done = std::move(done);
                // Posted even when replaced: Take drops it then.
                PostMessageW(shared->window, shared->message, number, 0);
            });
        if (started) return std::nullopt;
        // No thread to be had: read here, the window waiting as it always did.
        const std::lock_guard lock(shared_->mutex);
        shared_->pending = false;
    }
    MacroFileRead read = ReadMacroFile(request.path, missing, loaded);
    return Done{std::move(request), std::move(read)};
}

std::optional<MacroFileReadings::Done> MacroFileReadings::Take(WPARAM number) {
    if (!shared_) return std::nullopt;
    const std::lock_guard lock(shared_->mutex);
    if (number != shared_->latest || !shared_->done) return std::nullopt;
    std::optional<Done> done = std::move(shared_->done);
    shared_->done.reset();
    shared_->pending = false;
    return done;
}

bool MacroFileReadings::Pending() const {
    if (!shared_) return false;
    const std::lock_guard lock(shared_->mutex);
    return shared_->pending;
}

void MacroFileReadings::Cancel() {
    if (!shared_) return;
    const std::lock_guard lock(shared_->mutex);
    shared_->window = nullptr;
    shared_->pending = false;
    shared_->done.reset();
    ++shared_->latest;
}

}  // namespace kiv

#include "app/macro_file/macro_file_reading_win32.h"

#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "app/common/app_texts.h"
#include "app/macro_file/file_watch_win32.h"
#include "platform/file_error.h"

namespace kiv {

bool IsGoneFile(const std::u16string& path) {
    const std::wstring wide(path.begin(), path.end());
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

MacroFileRead ReadMacroFile(const std::u16string& path, MacroList::MissingFile missing,
                            bool loaded) {
    MacroFileRead read;
    const auto stampOf = [&] {
        return IsOrdinaryFile(path) ? FileWatch::Look(path) : std::nullopt;
    };
    // Taken before the reading: a save that lands meanwhile is seen after it.
    read.stamp = stampOf();
    read.list.SetFileName(path);
    try {
        read.list.LoadData(missing);
    } catch (const FileError& error) {
        read.problem = error.UserMessage();
        read.gone = missing == MacroList::MissingFile::Fail && IsGoneFile(path);
        return read;
    } catch (const std::bad_alloc&) {
        read.problem = Fill(texts::kMacroFileTooLarge, {path});
        return read;
    }
    read.stampAfter = stampOf();
    if (loaded) read.leftovers = LeftoverSideFiles(path);
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
    if (FileWatch::WhereIs(request.path) == FileWatch::Where::Elsewhere) {
        {
            const std::lock_guard lock(shared_->mutex);
            shared_->pending = true;
        }
        try {
            std::thread([shared = shared_, number, missing, loaded, request]() mutable {
                MacroFileRead read = ReadMacroFile(request.path, missing, loaded);
                const std::lock_guard lock(shared->mutex);
                if (shared->window == nullptr) return;  // the window is gone
                // Pending still, until the window takes it.
                if (shared->latest == number)
                    shared->done = Done{std::move(request), std::move(read)};
                // Posted even when replaced: Take drops it then.
                PostMessageW(shared->window, shared->message, number, 0);
            }).detach();
            return std::nullopt;
        } catch (const std::system_error&) {
            // No thread to be had: read here, the window waiting as it always did.
            const std::lock_guard lock(shared_->mutex);
            shared_->pending = false;
        }
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

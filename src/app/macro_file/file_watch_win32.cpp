#include "app/macro_file/file_watch_win32.h"

#include <mutex>

#include "app/macro_file/file_watch.h"
#include "platform/handle_win32.h"
#include "platform/wide_text.h"
#include "platform/workers_win32.h"

namespace kiv {

struct FileWatchShared {
    HWND window = nullptr;
    UINT message = 0;
    std::u16string file;
    FileWatch::Where where = FileWatch::Where::FixedDisk;
    bool coarseStamps = false;
    UniqueHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle finished{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    mutable std::mutex mutex;
    StampWatch watch{std::nullopt};     // under mutex
    std::optional<FileStamp> lastLook;  // under mutex
    unsigned seen = 0;                  // under mutex: Saw()s so far

    // One look: tells the window when the stamp changed.
    void Look() {
        unsigned before = 0;
        {
            const std::lock_guard lock(mutex);
            before = seen;
        }
        const std::optional<FileStamp> stamp = LookAt(file, coarseStamps);
        bool changed = false;
        {
            const std::lock_guard lock(mutex);
            if (seen != before) return;  // older than what the window now shows
            lastLook = stamp;
            changed = watch.Looked(stamp);
        }
        if (changed && WaitForSingleObject(stop.Get(), 0) == WAIT_TIMEOUT) {
            PostMessageW(window, message, 0, 0);
        }
    }
};

namespace {

FileWatch::CoarseStampsSeam coarseStampsSeam = nullptr;
FileWatch::WhereSeam whereSeam = nullptr;

// The thread holds its own share of the state: a look that outlives Stop()
// still has it.
void Watch(const std::shared_ptr<FileWatchShared>& shared) {
    while (WaitForSingleObject(shared->stop.Get(), StampWatch::kLookEveryMs) == WAIT_TIMEOUT) {
        try {
            shared->Look();
        } catch (...) {  // NOLINT(bugprone-empty-catch): the next look looks again
        }
    }
    SetEvent(shared->finished.Get());
}

// The timer's ID is the watch's state; it lives while the timer does.
// Nothing may leave it: user32 would swallow what is thrown, or end the
// process where it cannot unwind.
void CALLBACK LookOnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    try {
        reinterpret_cast<FileWatchShared*>(id)->Look();
    } catch (...) {  // NOLINT(bugprone-empty-catch): the next tick looks again
    }
}

}  // namespace

void FileWatch::SetWhereSeam(WhereSeam seam) {
    whereSeam = seam;
}

// The full path is worked out from text alone: a folder link on a fixed
// disk that points to a share is still taken for the disk.
std::optional<std::u16string> FileWatch::DriveRoot(const std::u16string& file) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(Wide(file), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    std::wstring_view path = full;
    if (path.starts_with(L"\\\\?\\") && !path.starts_with(L"\\\\?\\UNC\\")) path.remove_prefix(4);
    if (path.size() < 3 || path[1] != L':' || (path[2] != L'\\' && path[2] != L'/')) {
        return std::nullopt;  // \\server\share, \\?\UNC\..., a device
    }
    return std::u16string{static_cast<char16_t>(path[0]), u':', u'\\'};
}

FileWatch::Where FileWatch::WhereIs(const std::u16string& file) {
    if (whereSeam != nullptr) return whereSeam(file);
    // Only a fixed disk is trusted to answer at once: a share, a removable or
    // optical drive, a drive not mapped in this session (the relaunch as
    // administrator sees no mapped drives) or a name that cannot be told apart
    // may keep a look waiting for the network's timeout.
    const std::optional<std::u16string> root = DriveRoot(file);
    if (!root) return Where::Elsewhere;
    const UINT type = GetDriveTypeW(Wide(*root));
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK ? Where::FixedDisk : Where::Elsewhere;
}

bool FileWatch::HasCoarseStamps(const std::u16string& file, Where where) {
    if (coarseStampsSeam != nullptr) return coarseStampsSeam(file);
    if (where != Where::FixedDisk) return true;
    std::wstring full(MAX_PATH, L'\0');
    const DWORD length =
        GetFullPathNameW(Wide(file), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return false;
    full.resize(length);
    wchar_t root[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    if (!GetVolumePathNameW(full.c_str(), root, MAX_PATH) ||
        !GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH)) {
        return false;
    }
    const std::wstring_view name = system;
    return name == L"FAT" || name == L"FAT32" || name == L"exFAT";
}

std::optional<FileStamp> FileWatch::Look(const std::u16string& file) {
    return LookAt(file, HasCoarseStamps(file, WhereIs(file)));
}

void FileWatch::SetCoarseStampsSeam(CoarseStampsSeam seam) {
    coarseStampsSeam = seam;
}

void FileWatch::Start(HWND window, UINT message, const std::u16string& file,
                      std::optional<FileStamp> loaded, Where where) {
    if (shared_ && shared_->file == file && shared_->window == window) return;
    Stop();
    auto shared = std::make_shared<FileWatchShared>();
    shared->window = window;
    shared->message = message;
    shared->file = file;
    shared->where = where;
    shared->coarseStamps = HasCoarseStamps(file, where);
    shared->watch = StampWatch(loaded);
    shared->lastLook = loaded;
    if (!shared->stop || !shared->finished) return;
    if (where == Where::FixedDisk) {
        if (!SetTimer(window, reinterpret_cast<UINT_PTR>(shared.get()), StampWatch::kLookEveryMs,
                      LookOnTimer)) {
            return;
        }
    } else if (!StartWorker([shared] { Watch(shared); })) {
        return;
    }
    shared_ = std::move(shared);
}

void FileWatch::Stop() {
    if (!shared_) return;
    if (shared_->where == Where::FixedDisk) {
        KillTimer(shared_->window, reinterpret_cast<UINT_PTR>(shared_.get()));
    } else {
        SetEvent(shared_->stop.Get());
        // A look at a share that stopped answering may hold the thread a
        // while: it ends on its own then, keeping its share of the state alive.
        WaitForSingleObject(shared_->finished.Get(), 200);
    }
    shared_.reset();
}

void FileWatch::Saw(std::optional<FileStamp> stamp) {
    // A reading that took no stamp (a file made hidden, a look that failed)
    // says nothing of the file: the watch goes on from its own looks.
    if (!shared_ || !stamp) return;
    const std::lock_guard lock(shared_->mutex);
    ++shared_->seen;
    shared_->watch = StampWatch(stamp);
    shared_->lastLook = stamp;
}

std::optional<FileStamp> FileWatch::LastLook() const {
    if (!shared_) return std::nullopt;
    const std::lock_guard lock(shared_->mutex);
    return shared_->lastLook;
}

}  // namespace kiv

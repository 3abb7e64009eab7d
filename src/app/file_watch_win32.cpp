#include "app/file_watch_win32.h"

#include <mutex>

#include "app/file_watch.h"
#include "platform/win32_handle.h"

namespace kiv {

struct FileWatchShared {
    HWND window = nullptr;
    UINT message = 0;
    std::u16string file;
    FileWatch::Where where = FileWatch::Where::ThisMachine;
    UniqueHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle finished{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    mutable std::mutex mutex;
    StampWatch watch{std::nullopt};     // under mutex
    std::optional<FileStamp> lastLook;  // under mutex

    // One look: tells the window when the stamp changed.
    void Look() {
        const std::optional<FileStamp> stamp = StampOf(file);
        bool changed = false;
        {
            const std::lock_guard lock(mutex);
            lastLook = stamp;
            changed = watch.Looked(stamp);
        }
        if (changed && WaitForSingleObject(stop.Get(), 0) == WAIT_TIMEOUT) {
            PostMessageW(window, message, 0, 0);
        }
    }
};

namespace {

// The thread's own share of the state comes in a heap copy it frees.
DWORD WINAPI Watch(void* parameter) {
    const std::unique_ptr<std::shared_ptr<FileWatchShared>> owned(
        static_cast<std::shared_ptr<FileWatchShared>*>(parameter));
    FileWatchShared& shared = **owned;
    while (WaitForSingleObject(shared.stop.Get(), StampWatch::kLookEveryMs) == WAIT_TIMEOUT) {
        shared.Look();
    }
    SetEvent(shared.finished.Get());
    return 0;
}

// The timer's ID is the watch's state; it lives while the timer does.
void CALLBACK LookOnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    reinterpret_cast<FileWatchShared*>(id)->Look();
}

}  // namespace

FileWatch::Where FileWatch::WhereIs(const std::u16string& file) {
    // A UNC path (\\server\share\...), or a drive letter mapped to a share.
    if (file.starts_with(u"\\\\") || file.starts_with(u"//")) return Where::Network;
    if (file.size() >= 2 && file[1] == u':') {
        const wchar_t root[] = {static_cast<wchar_t>(file[0]), L':', L'\\', L'\0'};
        if (GetDriveTypeW(root) == DRIVE_REMOTE) return Where::Network;
    }
    return Where::ThisMachine;
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
    shared->watch = StampWatch(loaded);
    shared->lastLook = loaded;
    if (!shared->stop || !shared->finished) return;
    if (where == Where::ThisMachine) {
        if (!SetTimer(window, reinterpret_cast<UINT_PTR>(shared.get()), StampWatch::kLookEveryMs,
                      LookOnTimer)) {
            return;
        }
    } else {
        auto parameter = std::make_unique<std::shared_ptr<FileWatchShared>>(shared);
        const UniqueHandle thread(CreateThread(nullptr, 0, Watch, parameter.get(), 0, nullptr));
        if (!thread) return;
        parameter.release();  // the thread's now
    }
    shared_ = std::move(shared);
}

void FileWatch::Stop() {
    if (!shared_) return;
    if (shared_->where == Where::ThisMachine) {
        KillTimer(shared_->window, reinterpret_cast<UINT_PTR>(shared_.get()));
    } else {
        SetEvent(shared_->stop.Get());
        // A look at a share that stopped answering may hold the thread a
        // while: it ends on its own then, keeping its share of the state alive.
        WaitForSingleObject(shared_->finished.Get(), 200);
    }
    shared_.reset();
}

std::optional<FileStamp> FileWatch::LastLook() const {
    if (!shared_) return std::nullopt;
    const std::lock_guard lock(shared_->mutex);
    return shared_->lastLook;
}

}  // namespace kiv

#include "app/file_watch_win32.h"

#include <mutex>
#include <thread>

#include "app/file_watch.h"
#include "platform/win32_handle.h"

namespace kiv {

struct FileWatchShared {
    HWND window = nullptr;
    UINT message = 0;
    std::u16string file;
    std::optional<FileStamp> loaded;
    UniqueHandle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle finished{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    mutable std::mutex mutex;
    std::optional<FileStamp> lastLook;  // under mutex
};

namespace {

void Watch(const std::shared_ptr<FileWatchShared>& shared) {
    StampWatch watch(shared->loaded);
    while (WaitForSingleObject(shared->stop.Get(), StampWatch::kLookEveryMs) == WAIT_TIMEOUT) {
        const std::optional<FileStamp> stamp = StampOf(shared->file);
        {
            const std::lock_guard lock(shared->mutex);
            shared->lastLook = stamp;
        }
        if (watch.Looked(stamp) && WaitForSingleObject(shared->stop.Get(), 0) == WAIT_TIMEOUT) {
            PostMessageW(shared->window, shared->message, 0, 0);
        }
    }
    SetEvent(shared->finished.Get());
}

}  // namespace

void FileWatch::Start(HWND window, UINT message, const std::u16string& file,
                      std::optional<FileStamp> loaded) {
    if (shared_ && shared_->file == file && shared_->window == window) return;
    Stop();
    auto shared = std::make_shared<FileWatchShared>();
    shared->window = window;
    shared->message = message;
    shared->file = file;
    shared->loaded = loaded;
    shared->lastLook = loaded;
    if (!shared->stop || !shared->finished) return;
    std::thread(Watch, shared).detach();
    shared_ = std::move(shared);
}

void FileWatch::Stop() {
    if (!shared_) return;
    SetEvent(shared_->stop.Get());
    // A look at a share that stopped answering may hold the thread a while:
    // it ends on its own then, keeping its share of the state alive.
    WaitForSingleObject(shared_->finished.Get(), 200);
    shared_.reset();
}

std::optional<FileStamp> FileWatch::LastLook() const {
    if (!shared_) return std::nullopt;
    const std::lock_guard lock(shared_->mutex);
    return shared_->lastLook;
}

}  // namespace kiv

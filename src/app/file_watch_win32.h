#pragma once

// Tells the window when the macro file may have changed (file_watch.h), from
// a thread of its own: a look at a file on a network share that stopped
// answering can take many seconds, and must never freeze the window.
// Windows only.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace kiv {

struct FileWatchShared;  // between the window's thread and the watcher's

class FileWatch {
  public:
    FileWatch() = default;
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;
    ~FileWatch() { Stop(); }

    // Posts `message` to `window` whenever `file` may have changed, in place
    // of what was watched before; `loaded` is the stamp the window shows.
    void Start(HWND window, UINT message, const std::u16string& file,
               std::optional<FileStamp> loaded);
    void Stop();
    // The file's stamp as the last look found it (nothing: no file there, or
    // none looked yet): for the window, which must not wait on a share that
    // stopped answering itself.
    std::optional<FileStamp> LastLook() const;

  private:
    std::shared_ptr<FileWatchShared> shared_;
};

}  // namespace kiv

#pragma once

// Tells when something changes in the folder of a file (a file written,
// created, deleted or renamed) through a handle the message loop waits on:
// the system's change notifications, no polling. Windows only.

#include <windows.h>

#include <string>

#include "platform/win32_handle.h"

namespace kiv {

class FolderWatch {
  public:
    // Watches the folder `file` lies in; nothing when that cannot be watched.
    void Watch(const std::u16string& file);
    // Signalled on a change; null while nothing is watched.
    HANDLE Handle() const { return handle_ ? handle_.Get() : nullptr; }
    // After the handle was signalled: waits for the next change.
    void Rearm();
    void Stop() { handle_.Reset(); }

  private:
    UniqueChangeNotification handle_;
    std::wstring folder_;
};

}  // namespace kiv

#pragma once

// Work that may wait long on a drive (a share that stopped answering) done
// off the window's thread, the window answering meanwhile. Windows only.

#include <windows.h>

#include <functional>

namespace kiv {

// Runs `work` on a thread of its own while this thread goes on serving its
// windows' messages, as a modal dialog's loop does; `window` is disabled
// meanwhile, so that no command of the user's starts on top of the work.
// Returns once the work is done; what it threw is thrown here.
void RunServingMessages(HWND window, const std::function<void()>& work);

}  // namespace kiv

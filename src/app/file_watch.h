#pragma once

// How the window learns that the macro file changed on disk: by looking at
// the file's stamp (size and last write time) every kLookEveryMs
// (file_watch_win32.h). Portable.
//
// Not through the folder's change notifications. They hold the folder open,
// so that Explorer cannot rename, move or delete it or a folder above it, and
// "safely remove" refuses the USB stick it is on; and they stop without a
// word on a network share after sleep or a VPN reconnect, on a drive plugged
// back in, when a sync client moves the folder, and on volumes that give
// none. A look holds nothing open, works alike on every drive, follows the
// file's name wherever its folder went and comes back with it.

#include <optional>

#include "platform/file_system.h"

namespace kiv {

class StampWatch {
  public:
    static constexpr unsigned kLookEveryMs = 1000;

    // `loaded`: the stamp of what the window shows.
    explicit StampWatch(std::optional<FileStamp> loaded) : last_(loaded) {}

    // A look found `stamp` (nothing: no file there). True when it differs
    // from the look before, or from what was loaded: the window should look.
    bool Looked(std::optional<FileStamp> stamp) {
        const bool changed = stamp != last_;
        last_ = stamp;
        return changed;
    }

  private:
    std::optional<FileStamp> last_;
};

}  // namespace kiv

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
#include <string>

#include "platform/file_system.h"

namespace kiv {

// A look at a file: its stamp (nothing: no file there, or none that can be
// looked up). Where write times are coarse, a file saved twice within their
// grain at the same size would look unchanged: there a hash of its content
// is part of the stamp, for files up to kMostHashed bytes (a macro file is
// a few kilobytes; a larger one is left to its stamp, not read every second).
inline constexpr std::uint64_t kMostHashed = std::uint64_t{4} << 20;
std::optional<FileStamp> LookAt(const std::u16string& path, bool coarseStamps);

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

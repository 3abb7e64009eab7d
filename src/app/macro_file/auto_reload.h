#pragma once

// When the current macro file changes on disk, the list follows by itself:
// what the window does about it, decided apart from the window. Portable.
//
// A change is acted on once the file has been still for a moment (one reload
// for a burst of writes). A file that did not really change, or that is gone
// (deleted, or moved away for now), changes nothing: the list stays, and a
// deleted file is not made anew with the default macros. A file that cannot
// be read is tried again a few times before the user is told, once, until it
// reads again. An emptied file, while the list shows macros, is given one
// more moment: editors that save in two steps empty the file first.

#include <cstddef>
#include <optional>

#include "macro/macro_list.h"
#include "platform/file_system.h"

namespace kiv {

class AutoReload {
  public:
    // How long a file must be still before it is read, and the pause between
    // tries of a file that would not read; in milliseconds.
    static constexpr unsigned kSettleMs = 300;
    static constexpr unsigned kRetryMs = 700;
    static constexpr int kTries = 3;

    enum class Step {
        Nothing,    // the list stays as it is
        Reload,     // read the file now (then Reloaded or ReloadFailed)
        WaitAgain,  // look again after kRetryMs
        Tell,       // say once that the file cannot be read; the list stays
    };

    // The list now shows the file with this stamp (loaded by the user, or
    // reloaded): the one later stamps are compared with.
    void Loaded(std::optional<FileStamp> stamp);

    // The file has been still for kSettleMs (or kRetryMs after WaitAgain).
    // `stamp` is the file's now, nothing when it is gone; `showing` tells that
    // the list shows macros.
    Step Settled(std::optional<FileStamp> stamp, bool showing);

    // After Reload: the file read.
    void Reloaded(std::optional<FileStamp> stamp) { Loaded(stamp); }
    // After Reload: it did not.
    Step ReloadFailed();

  private:
    std::optional<FileStamp> loaded_;
    int failures_ = 0;
    bool told_ = false;
    bool waitedForEmpty_ = false;
};

// The entry selected after a reload, from 0 (-1: none): the macro that was
// selected (the same message and title, the same one of several alike)
// wherever it is now, so that a macro added above it elsewhere does not turn
// the user's next command onto another; where it is gone, the same position
// while the list has it, else the last entry; none for none.
int SelectionAfterReload(const MacroList& before, int selected, const MacroList& after);

}  // namespace kiv

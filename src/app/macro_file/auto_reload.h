#pragma once

// When the current macro file changes on disk, the list follows by itself:
// what the window does about it, decided apart from the window. Portable.
//
// A change is acted on once the file has been still for a moment (one reload
// for a burst of writes). A file that did not really change, or that is gone
// (deleted, or moved away for now), changes nothing: the list stays, and a
// deleted file is not made anew with the default macros. A file that cannot
// be read (a sync client or an editor holding it) is tried again for as long
// as it is there, less often as it goes on, until it reads; the user is told
// once, and only when it has failed for a while. A file that cannot be read
// as it is (it holds no text, or is too large) is told at once and left until
// it changes. An emptied file, while the list
// shows macros, is given one more moment: editors that save in two steps
// empty the file first.

#include <cstddef>
#include <optional>
#include <string>

#include "macro/macro_list.h"
#include "platform/file_system.h"

namespace kiv {

class AutoReload {
  public:
    // How long a file must be still before it is read, and before a reading
    // put off (by a dialog, a menu, another reading) or an emptied file is
    // looked at again; in milliseconds.
    static constexpr unsigned kSettleMs = 300;
    static constexpr unsigned kAgainMs = 700;
    // A file that would not read is tried again after kFirstRetryMs, then
    // after twice as long each time up to kMostRetryMs; the user is told once
    // the tries have gone on for kTellAfterMs.
    static constexpr unsigned kFirstRetryMs = 750;
    static constexpr unsigned kMostRetryMs = 5000;
    static constexpr unsigned kTellAfterMs = 10000;

    enum class Step {
        Nothing,    // the list stays as it is
        Reload,     // read the file now (then Reloaded or ReloadFailed)
        WaitAgain,  // look again after kAgainMs
    };

    // The list now shows the file with this stamp (loaded by the user, or
    // reloaded): the one later stamps are compared with.
    void Loaded(std::optional<FileStamp> stamp);

    // The file has been still for kSettleMs (or the wait asked for has
    // passed). `stamp` is the file's now, nothing when it is gone; `showing`
    // tells that the list shows macros.
    Step Settled(std::optional<FileStamp> stamp, bool showing);

    // After Reload: the file read.
    void Reloaded(std::optional<FileStamp> stamp) { Loaded(stamp); }
    // After Reload: it did not. `why`: what kept it from being read.
    enum class Failure {
        Held,     // it may read in a moment: another program holds it, say
        Refused,  // it holds no text, or is too large: it will not read until it changes
        Gone,     // nothing is there: the watch sees it come back
    };
    struct Retry {
        std::optional<unsigned> afterMs;  // when to look again; nothing: not until it changes
        bool tell = false;                // say now that the file cannot be read
    };
    Retry ReloadFailed(Failure why);

  private:
    std::optional<FileStamp> loaded_;
    unsigned failures_ = 0;
    unsigned failingForMs_ = 0;  // the waits between tries since the first failure
    bool told_ = false;
    bool waitedForEmpty_ = false;
};

// A macro the user selected, as a reading of the file finds it again: the
// same message and title, the same one of several alike.
struct ChosenMacro {
    std::u16string title;
    std::u16string message;
    std::size_t alikeAbove = 0;
};
// The macro at `selected` (from 0) of `list`; none where nothing is selected.
std::optional<ChosenMacro> ChosenIn(const MacroList& list, int selected);
// Where `chosen` is in `list`, from 0 (-1: not there), so that a macro added
// above it elsewhere does not turn the user's next command onto another.
int FoundAgain(const ChosenMacro& chosen, const MacroList& list);

}  // namespace kiv

#pragma once

// Changes the tool writes into the macro file itself, and their undo. Portable.
//
// Each change is made to the file as it is on disk at that moment, never to
// the list the window shows: edits made outside the tool meanwhile survive, and
// a change whose target has been edited outside is not made at all. Only the
// bytes of the changed lines are new; every other line keeps its bytes, and the
// file its encoding and line ends. A change that would make the file read back
// differently from what was meant (the reader decides encoding and line ends
// from the whole file) is refused instead.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "macro/macro.h"
#include "macro/macro_list.h"

namespace kiv {

struct MacroChange {
    enum class Kind { Insert, Replace, Delete, MoveUp, MoveDown };
    Kind kind;
    // 1-based macro targeted; Insert: the macro the new one goes after, 0 = at
    // the end of the file.
    std::size_t position = 0;
    Macro macro;  // Insert / Replace: the new macro
    // MoveUp / MoveDown: the macro it trades places with, above or below it
    // (1-based); 0 for the next one that way. While the user finds a macro,
    // the next one shown may be further away.
    std::size_t with = 0;
};

class MacroFileEditor {
  public:
    // One per load of the list: undo goes back to the file as it was then.
    explicit MacroFileEditor(std::u16string path);

    struct Result {
        enum class Status { Written, Unchanged, Conflict, Refused };
        Status status = Status::Unchanged;
        std::u16string message;  // Refused: why, in Japanese
        std::size_t select = 0;  // Written: the 1-based macro to select afterwards (0: none)
    };

    // Against the file on disk now. `shown` is the list as the window shows it
    // (what the user targeted); a position outside it throws std::out_of_range.
    // Selects afterwards: the new macro (Insert), the replaced one, the one
    // that took a deleted one's place (the one before it when it was the last,
    // none when none is left), the moved one.
    // Throws FileError when the file cannot be read or written (read-only,
    // locked, gone); then nothing changed.
    Result Apply(const MacroChange& change, const MacroList& shown);

    bool CanUndo() const { return !steps_.empty(); }
    // Undoes the last change written and not yet undone, when the file is
    // still exactly as it was written; otherwise Refused, and the change stays
    // to be undone. Selects where the change was made: the macro an inserted
    // one went after (none when there is none), the restored one (Replace,
    // Delete), the moved one back in its place. Unchanged when there is
    // nothing to undo. Throws FileError as Apply does.
    Result Undo();

    // For tests: called just before the last look that the file is still as
    // read, so that a test can change it at that moment, as another program
    // saving then would.
    void SetBeforeFinalCheck(std::function<void()> hook) { beforeFinalCheck_ = std::move(hook); }

  private:
    // What undoes one change: the bytes it wrote over, and the file it left,
    // known by its size and hash rather than kept.
    struct Step {
        std::size_t offset = 0;
        std::size_t writtenSize = 0;
        std::string replaced;
        std::uint64_t fileSize = 0;
        std::size_t fileHash = 0;
        std::size_t selectAfterUndo = 0;
    };

    std::u16string path_;
    std::vector<Step> steps_;
    std::function<void()> beforeFinalCheck_;
};

}  // namespace kiv

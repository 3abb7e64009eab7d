#pragma once

// Readings of the macro file for the window. A file on this machine's fixed
// disk is read at once on the window's thread, as it takes a moment; one
// anywhere else (a share, a USB stick), or one whose contents a sync client
// keeps away from the disk until it is read, on a thread of its own, since a
// share that stopped answering or a download can hold a reading for the
// network's timeout, and the window must go on answering meanwhile, its
// commands acting on the list it shows. One reading at a time: a newer one
// replaces one still under way, whose result is then dropped.
//
// A reading counts only when the file's stamp is the same after it as
// before: a save that landed meanwhile may have been read half-done. It is
// read again then, kStableReadings times at most. Windows only.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "macro/macro_list.h"
#include "platform/file_system.h"

namespace kiv {

inline constexpr int kStableReadings = 5;
inline constexpr DWORD kBetweenReadingsMs = 50;

// What one reading found.
struct MacroFileRead {
    MacroList list;                       // loaded, unless there is a problem
    std::optional<FileStamp> stamp;       // taken before the reading (FileWatch::Look)
    std::optional<FileStamp> stampAfter;  // and after it: a save that landed meanwhile
    // Why it could not be read, for the user (empty: nothing more is known).
    std::optional<std::u16string> problem;
    std::vector<std::u16string> leftovers;  // side files beside it (LeftoverSideFiles)
    // With MissingFile::Fail: nothing is there by that name any more (not a
    // share that does not answer, a drive not there, nor a file that cannot
    // be opened).
    bool gone = false;
    // It cannot be read as it is (it holds no text, or is too large to read):
    // no use trying again until it changes.
    bool refused = false;
    // The file changed during each of kStableReadings readings: the list is
    // the last one's, which may have met a save half-done.
    bool unsettled = false;
};

// Reads `path` (after writing the default macros there, with
// MissingFile::WriteDefaults, when there is no file); for a file loaded in
// place of the one shown, with the side files an interrupted write left.
// Every failure, whatever it throws, is told in `problem`.
MacroFileRead ReadMacroFile(const std::u16string& path, MacroList::MissingFile missing,
                            bool loaded);
// Nothing is there by that name: not a share that does not answer, a drive
// not there (MissingDriveOf), nor a file hidden or barred.
bool IsGoneFile(const std::u16string& path);
// The root of the drive `path` is on ("E:\") where that drive is not there:
// a USB stick pulled out, a mapped drive this session does not have (the
// copy run as administrator). Its files are out of reach, not gone.
std::optional<std::u16string> MissingDriveOf(const std::u16string& path);
// Whether a reading of `path` may keep its reader waiting long: a file
// anywhere but a fixed disk, or one whose contents are away (ContentsAway).
bool ReadingMayWait(const std::u16string& path);

class MacroFileReadings {
  public:
    // What a reading is for, which the window acts on when it is done.
    enum class Purpose {
        Load,       // the user chose the file (start-up, the Open dialog, a drop, the recent files)
        AfterEdit,  // the tool wrote it: show it again, `select` selected
        Changed,    // it changed on disk: show it again, the selection kept
    };
    struct Request {
        std::u16string path;
        Purpose purpose = Purpose::Load;
        std::optional<int> select;  // AfterEdit: the entry to select (0-based)
        // Load: a file that is not there is made with the default macros,
        // or, for a file the user had before, not made anew.
        MacroList::MissingFile missing = MacroList::MissingFile::WriteDefaults;
    };
    struct Done {
        Request request;
        MacroFileRead read;
    };

    MacroFileReadings() = default;
    MacroFileReadings(const MacroFileReadings&) = delete;
    MacroFileReadings& operator=(const MacroFileReadings&) = delete;
    ~MacroFileReadings() { Cancel(); }

    // Reads the file: on a fixed disk now, giving the result; elsewhere on a
    // thread, giving nothing, and `message` is posted to `window` once it is
    // read (its wParam for Take), also when a newer reading replaced it.
    std::optional<Done> Start(HWND window, UINT message, Request request);
    // The result that a posted message announced, while it is the latest.
    std::optional<Done> Take(WPARAM number);
    // A reading is under way on its thread, or done and not taken yet.
    bool Pending() const;
    // Drops what is under way; nothing is posted for it.
    void Cancel();

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace kiv

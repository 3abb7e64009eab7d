#pragma once

// Tells the window when the macro file may have changed (file_watch.h). A
// file on this machine is looked at from a timer on the window's own thread:
// such a look takes microseconds. A file on a network share gets a thread of
// its own: a look at a share that stopped answering can take many seconds,
// and must never freeze the window. (A thread for every file would cost a
// stack the system commits whole under Wine.) Windows only.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace kiv {

struct FileWatchShared;  // between the window's thread and the watcher's

class FileWatch {
  public:
    // A fixed disk is looked at from a timer on the window's thread; anything
    // else (a share, a removable drive, a drive not known) from a thread of
    // its own, as a look there may wait long.
    enum class Where { FixedDisk, Elsewhere };
    // Where `file` lies, as its path and its drive tell, without touching the file.
    static Where WhereIs(const std::u16string& file);
    // The root of the drive `file` is on, with its backslash ("E:\"), worked
    // out from the path alone; nothing for a share or a device.
    static std::optional<std::u16string> DriveRoot(const std::u16string& file);
    // Whether write times there are coarse: anywhere but a fixed disk (a
    // share's come from a cache, a USB stick is FAT), and a fixed disk
    // formatted FAT or exFAT. Asks the volume only for a fixed disk.
    static bool HasCoarseStamps(const std::u16string& file, Where where);
    // A look at `file` as the watch makes it (LookAt), for the window's own
    // stamps to compare with the watch's.
    static std::optional<FileStamp> Look(const std::u16string& file);
    // For tests: a volume kind other than the real one (Wine never reports
    // FAT). Null: the real one.
    using CoarseStampsSeam = bool (*)(const std::u16string& file);
    static void SetCoarseStampsSeam(CoarseStampsSeam seam);
    // For tests: a place other than the real one (under Wine every folder a
    // test can make is on a fixed disk). Null: the real one.
    using WhereSeam = Where (*)(const std::u16string& file);
    static void SetWhereSeam(WhereSeam seam);

    FileWatch() = default;
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;
    ~FileWatch() { Stop(); }

    // Posts `message` to `window` whenever `file` may have changed, in place
    // of what was watched before; `loaded` is the stamp the window shows.
    void Start(HWND window, UINT message, const std::u16string& file,
               std::optional<FileStamp> loaded, Where where);
    void Start(HWND window, UINT message, const std::u16string& file,
               std::optional<FileStamp> loaded) {
        Start(window, message, file, loaded, WhereIs(file));
    }
    void Stop();
    // The window now shows the file as it was at `stamp` (the tool's own
    // write, read back): a look that finds it so is no change. A change made
    // after that stamp is told as any other, and so is a look under way
    // meanwhile, which may have seen the write half-done. Nothing: ignored.
    void Saw(std::optional<FileStamp> stamp);
    // The file's stamp as the last look found it (nothing: no file there, or
    // none looked yet): for the window, which must not wait on a share that
    // stopped answering itself.
    std::optional<FileStamp> LastLook() const;

  private:
    std::shared_ptr<FileWatchShared> shared_;
};

}  // namespace kiv

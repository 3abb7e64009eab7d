#pragma once

// The few file operations the tool needs, with the system's reason attached to
// every failure (FileError). Paths are UTF-16, as everywhere in the program.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_error.h"

namespace kiv {

// True only for an ordinary file: not a directory, and on Windows not marked
// hidden or system. Anything that cannot be looked up counts as no file.
bool IsOrdinaryFile(const std::u16string& path);

// True for a folder; anything that cannot be looked up counts as none.
bool IsFolder(const std::u16string& path);

// The name of the file `path` names, without its folder.
std::u16string_view FileNameOf(std::u16string_view path);

// Creates `path` holding exactly `contents`, or nothing at all: the bytes go to
// a temporary file beside it that takes the name only once complete. A file
// already at `path`, even an empty one, is never replaced.
void CreateFileWithContents(const std::u16string& path, std::string_view contents);

// Gives `path` exactly `contents`, creating it or replacing what it held. The
// new bytes are written beside it and take its name only once complete; the
// old ones keep a name of their own (a side file, below) until then. On a
// failure before the swap the file stays as it was; a swap that fails
// half-way throws FileError::Step::SwapIncomplete naming where the old and
// the new contents are, and deletes neither. A file with other names (hard
// links) is written in place instead, after a copy of it is kept beside it,
// so that every name still shows the new contents. A read-only file is
// refused (Open), as Windows refuses to write it.
void ReplaceFileWithContents(const std::u16string& path, std::string_view contents);
// The same with the contents in pieces, written one after another: a large
// file changed in one place need not first be copied into one buffer.
void ReplaceFileWithContents(const std::u16string& path, std::span<const std::string_view> pieces);

// The files a write leaves beside `path` when it is cut short (a crash, a
// power cut, a swap that failed half-way): the full paths of those found,
// so that the user can be told; nothing for none, or a folder that cannot
// be listed. Never deleted or overwritten by the tool.
std::vector<std::u16string> LeftoverSideFiles(const std::u16string& path);

// Size and last-write time: what tells a reader that a file changed. Where
// write times are coarse (FAT keeps them to 2 s; a share answers from a cache
// of them), a hash of the content too (file_watch.h), 0 elsewhere.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // system ticks, compared only for equality
    std::uint64_t contentHash = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// Nothing for a path that cannot be looked up.
std::optional<FileStamp> StampOf(const std::u16string& path);

// The whole file. Throws FileError (Open, Read).
std::string ReadFileBytes(const std::u16string& path);

// For fault-injection tests: called with the path just before any file is
// opened for reading, after whatever existence check came first, so that a
// test can make the file vanish or lock it in between. Unset in the program.
using BeforeOpenHook = void (*)(const std::u16string& path);
void SetBeforeOpenHook(BeforeOpenHook hook);
void RunBeforeOpenHook(const std::u16string& path);
// The same before each read of a FileReader, so that a test can make a read
// fail as it does on Windows where another program locked a range of the
// file (Wine lets the read through).
void SetBeforeReadHook(BeforeOpenHook hook);
void RunBeforeReadHook(const std::u16string& path);

// The names of the side files, for the platform layers. "chat.txt.kivmacro-
// new-1234-7" holds new contents until they take the file's name, "...-old-
// ..." the old ones until then; the process ID and a number new for every
// call make a name no earlier write left.
enum class SideFile { New, Old };
std::u16string SideFileName(const std::u16string& path, SideFile kind, unsigned long processId);
// Whether the file named `name` (no folder) is a side file of the file named
// `fileName`, letter case aside; the temporary files of earlier versions
// ("chat.txt.kivtmp1234") count too.
bool IsSideFileOf(std::u16string_view name, std::u16string_view fileName);

// Sequential reading of a whole file; others may read and write it meanwhile.
class FileReader {
  public:
    explicit FileReader(const std::u16string& path);  // throws FileError (Open)
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Size when opened, a hint for buffers only.
    std::uint64_t SizeHint() const { return sizeHint_; }

    // Fills up to `capacity` bytes; 0 means the end. Throws FileError (Read).
    std::size_t Read(char* buffer, std::size_t capacity);

  private:
    std::u16string path_;
    std::intptr_t handle_;
    std::uint64_t sizeHint_ = 0;
};

}  // namespace kiv

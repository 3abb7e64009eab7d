#pragma once

// The few file operations the tool needs, with the system's reason attached to
// every failure (FileError). Paths are UTF-16, as everywhere in the program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_error.h"

namespace kiv {

// True only for an ordinary file: not a directory, and on Windows not marked
// hidden or system. Anything that cannot be looked up counts as no file.
bool IsOrdinaryFile(const std::u16string& path);

// Creates `path` holding exactly `contents`, or nothing at all: the bytes go to
// a temporary file beside it that takes the name only once complete. A file
// already at `path`, even an empty one, is never replaced.
void CreateFileWithContents(const std::u16string& path, std::string_view contents);

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

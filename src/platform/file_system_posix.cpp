#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_system.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

std::u16string Widen(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// The program never calls setlocale, so strerror speaks plain ASCII English.
std::u16string SystemReason(int error) {
    return Widen(std::strerror(error)) + u" (errno " + Widen(std::to_string(error)) + u")";
}

[[noreturn]] void Fail(const std::u16string& path, FileError::Step step, int error) {
    throw FileError(path, step, SystemReason(error));
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

bool IsOrdinaryFile(const std::u16string& path) {
    struct stat status {};
    return ::stat(ToUtf8(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool IsFolder(const std::u16string& path) {
    struct stat status {};
    return ::stat(ToUtf8(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

namespace {

enum class Existing { Keep, Replace };

// A side file made anew: never one that another write left.
int CreateSideFile(const std::u16string& path, mode_t mode, std::string& name) {
    for (int tries = 0; tries < 100; ++tries) {
        name = ToUtf8(SideFileName(path, SideFile::New, static_cast<unsigned long>(::getpid())));
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

std::string UnusedSideName(const std::u16string& path, SideFile kind) {
    for (;;) {
        std::string name = ToUtf8(SideFileName(path, kind, static_cast<unsigned long>(::getpid())));
        struct stat status {};
        if (::lstat(name.c_str(), &status) != 0) return name;
    }
}

bool WriteWhole(const std::string& name, int flags, mode_t mode,
                std::span<const std::string_view> pieces) {
    const int fd = ::open(name.c_str(), flags | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) return false;
    const bool written = std::all_of(pieces.begin(), pieces.end(),
                                     [fd](std::string_view piece) { return WriteAll(fd, piece); });
    const int error = errno;
    const bool synced = written && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !synced) {
        if (!written) errno = error;
        return false;
    }
    return true;
}

// A file with other names (hard links) keeps them only when written in
// place: a rename would leave them on the old file. A copy of the old
// contents is kept beside it until the new ones are all written.
void WriteInPlace(const std::u16string& path, const std::string& target, mode_t mode,
                  std::span<const std::string_view> pieces) {
    std::string old;
    try {
        old = ReadFileBytes(path);
    } catch (const FileError&) {
        Fail(path, FileError::Step::Open, errno);
    }
    const std::string copy = UnusedSideName(path, SideFile::Old);
    const std::string_view whole = old;
    if (!WriteWhole(copy, O_CREAT | O_EXCL, mode, {&whole, 1})) {
        const int error = errno;
        ::unlink(copy.c_str());
        Fail(path, FileError::Step::Create, error);
    }
    if (WriteWhole(target, O_TRUNC, mode, pieces)) {
        ::unlink(copy.c_str());
        return;
    }
    const int error = errno;
    if (!WriteWhole(target, O_TRUNC, mode, {&whole, 1})) {
        throw FileError(path, SystemReason(error), FromUtf8(copy), u"");
    }
    ::unlink(copy.c_str());
    Fail(path, FileError::Step::Write, error);
}

// The bytes go to a side file, reach the disk, and only then take the
// file's name; a crash or a full disk leaves the file as it was. A rename
// here is one step: the name holds the old bytes or the new, never neither.
void WriteAtomically(const std::u16string& path, std::span<const std::string_view> pieces,
                     Existing existing) {
    const std::string target = ToUtf8(path);
    mode_t mode = 0644;
    if (existing == Existing::Replace) {
        struct stat status {};
        if (::stat(target.c_str(), &status) == 0) {
            // The owner's write bit is the read-only attribute here; root ignores
            // permissions, and the file must still be refused.
            if (S_ISDIR(status.st_mode)) Fail(path, FileError::Step::Open, EISDIR);
            if ((status.st_mode & S_IWUSR) == 0) Fail(path, FileError::Step::Open, EACCES);
            mode = status.st_mode & 07777;
            if (status.st_nlink > 1) {
                WriteInPlace(path, target, mode, pieces);
                return;
            }
        }
    }
    std::string temporary;
    const int fd = CreateSideFile(path, mode, temporary);
    if (fd < 0) Fail(path, FileError::Step::Create, errno);
    const bool written = std::all_of(pieces.begin(), pieces.end(),
                                     [fd](std::string_view piece) { return WriteAll(fd, piece); });
    if (!written || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        Fail(path, FileError::Step::Write, error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        Fail(path, FileError::Step::Write, error);
    }
    if (existing == Existing::Replace) {
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            Fail(path, FileError::Step::Finish, error);
        }
        return;
    }
    // link() refuses an existing target, where rename() would replace it.
    if (::link(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        if (error == EEXIST) {
            throw FileError(path, FileError::Step::AlreadyExists, SystemReason(error));
        }
        Fail(path, FileError::Step::Finish, error);
    }
    ::unlink(temporary.c_str());
}

}  // namespace

std::vector<std::u16string> LeftoverSideFiles(const std::u16string& path) {
    std::vector<std::u16string> found;
    const std::size_t slash = path.rfind(u'/');
    const std::u16string folder = slash == std::u16string::npos ? u"" : path.substr(0, slash + 1);
    const std::u16string name = path.substr(folder.size());
    DIR* dir = ::opendir(folder.empty() ? "." : ToUtf8(folder).c_str());
    if (dir == nullptr) return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::u16string entryName = FromUtf8(entry->d_name);
        if (IsSideFileOf(entryName, name)) found.push_back(folder + entryName);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
    struct stat status {};
    if (::stat(ToUtf8(path).c_str(), &status) != 0) return std::nullopt;
    return FileStamp{
        static_cast<std::uint64_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

void CreateFileWithContents(const std::u16string& path, std::string_view contents) {
    WriteAtomically(path, {&contents, 1}, Existing::Keep);
}

void ReplaceFileWithContents(const std::u16string& path, std::string_view contents) {
    WriteAtomically(path, {&contents, 1}, Existing::Replace);
}

void ReplaceFileWithContents(const std::u16string& path, std::span<const std::string_view> pieces) {
    WriteAtomically(path, pieces, Existing::Replace);
}

FileReader::FileReader(const std::u16string& path) : path_(path) {
    RunBeforeOpenHook(path);
    const int fd = ::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail(path, FileError::Step::Open, errno);
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        Fail(path, FileError::Step::Open, EISDIR);
    }
    handle_ = fd;
    sizeHint_ = static_cast<std::uint64_t>(status.st_size);
}

FileReader::~FileReader() {
    ::close(static_cast<int>(handle_));
}

std::size_t FileReader::Read(char* buffer, std::size_t capacity) {
    RunBeforeReadHook(path_);
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer, capacity);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) Fail(path_, FileError::Step::Read, errno);
    }
}

}  // namespace kiv

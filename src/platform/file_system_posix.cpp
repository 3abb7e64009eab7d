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

namespace {

enum class Existing { Keep, Replace };

// The bytes go to a temporary file beside the target, reach the disk, and only
// then take the target's name; a crash or a full disk leaves the target as it was.
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
        }
    }
    const std::string temporary = target + ".kivtmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
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
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer, capacity);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) Fail(path_, FileError::Step::Read, errno);
    }
}

}  // namespace kiv

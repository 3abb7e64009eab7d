#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_system.h"

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

void CreateFileWithContents(const std::u16string& path, std::string_view contents) {
    const std::string target = ToUtf8(path);
    const std::string temporary = target + ".kivtmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail(path, FileError::Step::Create, errno);
    if (!WriteAll(fd, contents) || ::fsync(fd) != 0) {
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

FileReader::FileReader(const std::u16string& path) : path_(path) {
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

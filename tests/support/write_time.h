#pragma once

// A file's last write time, exactly as the system keeps it, to be set back:
// how a test makes a save that a stamp cannot see, as FAT's 2 s grain or a
// share's cached times make it. (std::filesystem rounds it under MinGW.)

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace kiv::test {

class WriteTime {
  public:
    explicit WriteTime(const std::filesystem::path& path) : path_(path) {
#ifdef _WIN32
        HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        GetFileTime(file, nullptr, nullptr, &time_);
        CloseHandle(file);
#else
        struct stat status {};
        ::stat(path.c_str(), &status);
        time_ = status.st_mtim;
#endif
    }

    // Gives the file the time it had when this was made.
    void SetBack() const {
#ifdef _WIN32
        HANDLE file = CreateFileW(path_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &time_);
        CloseHandle(file);
#else
        const timespec times[2] = {{0, UTIME_OMIT}, time_};
        ::utimensat(AT_FDCWD, path_.c_str(), times, 0);
#endif
    }

  private:
    std::filesystem::path path_;
#ifdef _WIN32
    FILETIME time_{};
#else
    timespec time_{};
#endif
};

}  // namespace kiv::test

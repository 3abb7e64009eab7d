#include "platform/file_system.h"

#include <windows.h>

#include "platform/system_error.h"
#include "platform/win32_handle.h"

namespace kiv {
namespace {

std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}

[[noreturn]] void Fail(const std::u16string& path, FileError::Step step, DWORD error) {
    throw FileError(path, step, SystemErrorText(error));
}

}  // namespace

bool IsOrdinaryFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

namespace {

enum class Existing { Keep, Replace };

// `temporary` becomes `target`, which keeps what is the file's own beyond its
// bytes: its permissions, attributes, creation time (ReplaceFileW; a plain
// move would give it the temporary file's). A virus scanner, the search
// indexer or a sync client opening the file for a moment makes Windows refuse
// the swap: tried again for a second. False with the error in GetLastError().
bool TakeThePlaceOf(const std::wstring& temporary, const std::wstring& target) {
    for (int tries = 0;; ++tries) {
        if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            return true;
        }
        const DWORD error = GetLastError();
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
        if (busy && tries < 10) {
            Sleep(100);
            continue;
        }
        // No file to replace (it went meanwhile), a file system without the
        // swap, or the old file gone and the new one left beside it: a move.
        return MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
}

// The bytes go to a temporary file beside the target, reach the disk, and only
// then take the target's name; a crash or a full disk leaves the target as it was.
void WriteAtomically(const std::u16string& path, std::span<const std::string_view> pieces,
                     Existing existing) {
    if (existing == Existing::Replace) {
        const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            Fail(path, FileError::Step::Open, ERROR_ACCESS_DENIED);
        }
    }
    // Per process, so two instances never write into the same temporary file.
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::u16string temporary = path + u".kivtmp" + std::u16string(pid.begin(), pid.end());
    const std::wstring wideTemporary = Wide(temporary);
    {
        UniqueFile file(CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) Fail(path, FileError::Step::Create, GetLastError());
        auto removeTemporary = [&](FileError::Step step, DWORD error) {
            file.Close();
            DeleteFileW(wideTemporary.c_str());
            Fail(path, step, error);
        };
        for (std::string_view contents : pieces) {
            while (!contents.empty()) {
                const DWORD chunk =
                    contents.size() > (1u << 20) ? (1u << 20) : static_cast<DWORD>(contents.size());
                DWORD written = 0;
                if (!WriteFile(file.Get(), contents.data(), chunk, &written, nullptr) ||
                    written == 0) {
                    removeTemporary(FileError::Step::Write, GetLastError());
                }
                contents.remove_prefix(written);
            }
        }
        if (!FlushFileBuffers(file.Get())) removeTemporary(FileError::Step::Write, GetLastError());
        if (!file.Close()) removeTemporary(FileError::Step::Write, GetLastError());
    }
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing target, so
    // a file that appeared meanwhile is kept as it is.
    const DWORD flags =
        MOVEFILE_WRITE_THROUGH | (existing == Existing::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!(existing == Existing::Replace
              ? TakeThePlaceOf(wideTemporary, Wide(path))
              : MoveFileExW(wideTemporary.c_str(), Wide(path).c_str(), flags))) {
        const DWORD error = GetLastError();
        DeleteFileW(wideTemporary.c_str());
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            throw FileError(path, FileError::Step::AlreadyExists, SystemErrorText(error));
        }
        Fail(path, FileError::Step::Finish, error);
    }
}

}  // namespace

std::optional<FileStamp> StampOf(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return FileStamp{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                     static_cast<std::int64_t>(
                         (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime)};
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
    const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) Fail(path, FileError::Step::Open, GetLastError());
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(handle, &size)) sizeHint_ = static_cast<std::uint64_t>(size.QuadPart);
}

FileReader::~FileReader() {
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::size_t FileReader::Read(char* buffer, std::size_t capacity) {
    const DWORD want = capacity > (1u << 30) ? (1u << 30) : static_cast<DWORD>(capacity);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, nullptr)) {
        Fail(path_, FileError::Step::Read, GetLastError());
    }
    return got;
}

}  // namespace kiv

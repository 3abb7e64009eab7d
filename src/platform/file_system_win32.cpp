#include "platform/file_system.h"

#include <windows.h>

#include <cstring>

#include "platform/file_kind_win32.h"
#include "platform/file_swap_win32.h"
#include "platform/handle_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

[[noreturn]] void Fail(const std::u16string& path, FileError::Step step, DWORD error) {
    throw FileError(path, step, SystemErrorText(error));
}

}  // namespace

bool IsOrdinaryFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool IsFolder(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

enum class Existing { Keep, Replace };

FileSwapCalls& SwapCalls() {
    static FileSwapCalls calls;
    return calls;
}

BOOL Replace(const std::wstring& target, const std::wstring& replacement,
             const std::wstring& backup) {
    if (SwapCalls().replace) {
        return SwapCalls().replace(target.c_str(), replacement.c_str(), backup.c_str());
    }
    // A share that cannot take the file's ACL over would otherwise refuse
    // every swap; the file keeps its name and attributes all the same.
    return ReplaceFileW(target.c_str(), replacement.c_str(), backup.c_str(),
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                        nullptr);
}

BOOL Move(const std::wstring& from, const std::wstring& to, DWORD flags) {
    if (SwapCalls().move) return SwapCalls().move(from.c_str(), to.c_str(), flags);
    return MoveFileExW(from.c_str(), to.c_str(), flags);
}

void Pause(DWORD milliseconds) {
    if (SwapCalls().pause) {
        SwapCalls().pause(milliseconds);
    } else {
        Sleep(milliseconds);
    }
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A virus scanner, the search indexer or a sync client opening a file for a
// moment makes Windows refuse to rename or delete it.
bool IsBusy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}
constexpr int kBusyTries = 10;
constexpr DWORD kBusyPauseMs = 100;

// Which file a name stands for, and as it was written: the same file, not
// written since, whatever happened to the names around it. The 128-bit file
// ID where the volume gives one (ReFS has no unique 64-bit index); the size
// and write time as well, since on FAT an ID comes from where the directory
// entry sits, which another file may take.
struct FileIdentity {
    FILE_ID_INFO id{};
    std::uint64_t size = 0;
    FILETIME written{};
    DWORD links = 0;
    bool SameFile(const FileIdentity& other) const {
        return id.VolumeSerialNumber == other.id.VolumeSerialNumber &&
               std::memcmp(&id.FileId, &other.id.FileId, sizeof id.FileId) == 0 &&
               size == other.size && CompareFileTime(&written, &other.written) == 0;
    }
};

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
    FileIdentity identity;
    if (!GetFileInformationByHandleEx(file.Get(), FileIdInfo, &identity.id, sizeof identity.id)) {
        identity.id.VolumeSerialNumber = info.dwVolumeSerialNumber;
        const std::uint64_t index =
            std::uint64_t{info.nFileIndexHigh} << 32 | std::uint64_t{info.nFileIndexLow};
        std::memcpy(&identity.id.FileId, &index, sizeof index);
    }
    identity.size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
    identity.written = info.ftLastWriteTime;
    identity.links = info.nNumberOfLinks;
    return identity;
}

bool IsStill(const std::wstring& path, const std::optional<FileIdentity>& identity) {
    const std::optional<FileIdentity> now = IdentityOf(path);
    return identity && now && now->SameFile(*identity);
}

// Whether the file at `path` holds exactly these bytes.
bool Holds(const std::u16string& path, std::span<const std::string_view> pieces) {
    try {
        const std::string bytes = ReadFileBytes(path);
        std::string_view rest = bytes;
        for (const std::string_view piece : pieces) {
            if (!rest.starts_with(piece)) return false;
            rest.remove_prefix(piece.size());
        }
        return rest.empty();
    } catch (const FileError&) {
        return false;
    }
}

// Deleted once what it held is no longer needed; a file held open for a
// moment is tried again. One that stays is told at the next start.
void DeleteWhenFree(const std::wstring& path) {
    for (int tries = 0; !DeleteFileW(path.c_str()) && tries < kBusyTries; ++tries) {
        if (!IsBusy(GetLastError())) return;
        Pause(kBusyPauseMs);
    }
}

std::u16string UnusedSideName(const std::u16string& path, SideFile kind) {
    for (;;) {
        std::u16string name = SideFileName(path, kind, GetCurrentProcessId());
        if (!Exists(Wide(name))) return name;
    }
}

// A side file made anew: never one that another write left.
UniqueFile CreateSideFile(const std::u16string& path, std::u16string& name) {
    for (int tries = 0; tries < 100; ++tries) {
        name = SideFileName(path, SideFile::New, GetCurrentProcessId());
        UniqueFile file(CreateFileW(Wide(name), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return {};
}

// False with the error in GetLastError(). Reaching the disk is the caller's step.
bool WriteAll(HANDLE file, std::span<const std::string_view> pieces) {
    for (std::string_view contents : pieces) {
        while (!contents.empty()) {
            const DWORD chunk =
                contents.size() > (1u << 20) ? (1u << 20) : static_cast<DWORD>(contents.size());
            DWORD written = 0;
            if (!WriteFile(file, contents.data(), chunk, &written, nullptr)) return false;
            if (written == 0) {
                SetLastError(ERROR_DISK_FULL);
                return false;
            }
            contents.remove_prefix(written);
        }
    }
    return true;
}

// `temporary`, complete on disk, takes the place of `path`, which keeps what
// is the file's own beyond its bytes: its permissions, attributes, creation
// time (ReplaceFileW; a plain move would give it the temporary file's). The
// old contents keep a name of their own until the new ones are in place, so
// that whatever step fails, one of the two names holds them, and neither is
// deleted unless the file's own name is known to hold the other.
void Swap(const std::u16string& path, const std::u16string& temporary,
          std::span<const std::string_view> pieces) {
    const std::wstring target = Wide(path);
    const std::wstring replacement = Wide(temporary);
    const std::optional<FileIdentity> before = IdentityOf(target);
    const std::wstring backup = Wide(UnusedSideName(path, SideFile::Old));
    DWORD error = 0;
    for (int tries = 0;; ++tries) {
        if (Replace(target, replacement, backup)) {
            DeleteWhenFree(backup);
            return;
        }
        error = GetLastError();
        // Tried again only while nothing has moved.
        if (!IsBusy(error) || tries + 1 >= kBusyTries || !IsStill(target, before) ||
            Exists(backup)) {
            break;
        }
        Pause(kBusyPauseMs);
    }
    if (!Exists(replacement) && Holds(path, pieces)) {
        // The new contents took the name after all.
        if (Exists(backup)) DeleteWhenFree(backup);
        return;
    }
    if (IsStill(target, before)) {
        // Both files kept their names (1175; 1176 given a backup name; any
        // other failure): the file still holds the old contents. A file
        // system without the swap may still take a move.
        if (Move(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            if (Exists(backup)) DeleteWhenFree(backup);
            return;
        }
        // The file is as it was. A backup made meanwhile is a copy of it:
        // kept, and told at the next start, rather than trusted to be one.
        DeleteFileW(replacement.c_str());
        Fail(path, FileError::Step::Finish, error);
    }
    // The old contents left the file's name: to the backup's (1177), or away
    // altogether (1176 where no backup is made, or the file was deleted
    // meanwhile). The new ones are still beside it. Without
    // MOVEFILE_REPLACE_EXISTING, a file someone put there meanwhile stays.
    const bool oldKept = Exists(backup);
    if (Move(replacement, target, MOVEFILE_WRITE_THROUGH)) {
        if (oldKept) DeleteWhenFree(backup);
        return;
    }
    throw FileError(path, SystemErrorText(error),
                    oldKept ? std::u16string(backup.begin(), backup.end()) : u"",
                    Exists(replacement) ? temporary : u"");
}

// A file with other names (hard links) keeps them only when written in
// place: a swap would leave them on the old file. A copy of the old contents
// is kept beside it until the new ones are all written, so that a crash or a
// full disk half-way leaves a whole copy under a name the user is told.
void WriteInPlace(const std::u16string& path, std::span<const std::string_view> pieces) {
    const std::wstring target = Wide(path);
    const std::u16string copyName = UnusedSideName(path, SideFile::Old);
    const std::wstring copy = Wide(copyName);
    if (!CopyFileW(target.c_str(), copy.c_str(), TRUE)) {
        Fail(path, FileError::Step::Create, GetLastError());
    }
    {
        const UniqueFile copied(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!copied || !FlushFileBuffers(copied.Get())) {
            const DWORD error = GetLastError();
            DeleteFileW(copy.c_str());
            Fail(path, FileError::Step::Write, error);
        }
    }
    UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        DeleteFileW(copy.c_str());
        Fail(path, FileError::Step::Open, error);
    }
    if (WriteAll(file.Get(), pieces) && SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get()) &&
        file.Close()) {
        DeleteWhenFree(copy);
        return;
    }
    const DWORD error = GetLastError();
    file.Reset();
    // Half-written: the old contents back from the copy, if the disk lets.
    bool restored = false;
    try {
        const std::string old = ReadFileBytes(copyName);
        const std::string_view whole = old;
        UniqueFile again(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        restored = again && WriteAll(again.Get(), {&whole, 1}) && SetEndOfFile(again.Get()) &&
                   FlushFileBuffers(again.Get()) && again.Close();
    } catch (const FileError&) {  // NOLINT(bugprone-empty-catch): the copy is told below
    }
    if (!restored) throw FileError(path, SystemErrorText(error), copyName, u"");
    DeleteWhenFree(copy);
    Fail(path, FileError::Step::Write, error);
}

// The bytes go to a side file, reach the disk, and only then take the
// file's name; a crash or a full disk leaves the file as it was.
void WriteAtomically(const std::u16string& path, std::span<const std::string_view> pieces,
                     Existing existing) {
    if (existing == Existing::Replace) {
        const std::optional<FileKind> kind = FileKindOf(path);
        if (kind &&
            (kind->attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            Fail(path, FileError::Step::Open, ERROR_ACCESS_DENIED);
        }
        // A file with other names, or a link to a file elsewhere, keeps them
        // only when written in place: a swap would put a new file under this
        // one name alone. A sync client's file is no link: it keeps the swap,
        // and with it the busy retries and the old contents kept meanwhile.
        const bool linked = kind && IsLinkElsewhere(*kind);
        if (const auto identity = IdentityOf(Wide(path));
            linked || (identity && identity->links > 1)) {
            WriteInPlace(path, pieces);
            return;
        }
    }
    std::u16string temporary;
    {
        UniqueFile file = CreateSideFile(path, temporary);
        if (!file) Fail(path, FileError::Step::Create, GetLastError());
        if (!WriteAll(file.Get(), pieces) || !FlushFileBuffers(file.Get()) || !file.Close()) {
            const DWORD error = GetLastError();
            file.Reset();
            DeleteFileW(Wide(temporary));  // the file itself was not touched
            Fail(path, FileError::Step::Write, error);
        }
    }
    if (existing == Existing::Replace) {
        Swap(path, temporary, pieces);
        return;
    }
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing file, so
    // a file that appeared meanwhile is kept as it is.
    if (!Move(Wide(temporary), Wide(path), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(Wide(temporary));
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            throw FileError(path, FileError::Step::AlreadyExists, SystemErrorText(error));
        }
        Fail(path, FileError::Step::Finish, error);
    }
}

}  // namespace

void SetFileSwapCalls(FileSwapCalls calls) {
    SwapCalls() = std::move(calls);
}

std::vector<std::u16string> LeftoverSideFiles(const std::u16string& path) {
    std::vector<std::u16string> found;
    const std::size_t slash = path.find_last_of(u"\\/");
    const std::u16string folder = slash == std::u16string::npos ? u"" : path.substr(0, slash + 1);
    const std::u16string name = path.substr(folder.size());
    WIN32_FIND_DATAW data{};
    const std::u16string pattern = path + u".kiv*";
    const HANDLE search =
        FindFirstFileExW(Wide(pattern), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        const std::u16string entry(reinterpret_cast<const char16_t*>(data.cFileName));
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsSideFileOf(entry, name)) {
            found.push_back(folder + entry);
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

std::optional<FileStamp> StampOf(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) {
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
    const HANDLE handle = CreateFileW(Wide(path), GENERIC_READ,
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
    RunBeforeReadHook(path_);
    const DWORD want = capacity > (1u << 30) ? (1u << 30) : static_cast<DWORD>(capacity);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, nullptr)) {
        Fail(path_, FileError::Step::Read, GetLastError());
    }
    return got;
}

}  // namespace kiv

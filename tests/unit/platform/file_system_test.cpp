// The file functions beneath the tool: nothing ever replaced, and the user's bytes under a name
// the user knows whatever step of a replacement fails.

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/file_kind_win32.h"
#include "platform/file_swap_win32.h"
#endif

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::size_t EntriesIn(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

// Only an ordinary file counts as one (on Windows not a hidden or system one, but a read-only one),
// and only a file opens for reading. Whatever is at a path, even an empty file or one the lookup
// passes over, is never replaced by a new file.
TEST(WhatIsAtAPath, OnlyAnOrdinaryFileCountsAndNothingThereIsReplaced) {
    const struct {
        const char* name;
        const char* bytes;  // none: a folder
        bool ordinary;
        unsigned long attributes = 0;  // Windows' own
    } entries[] = {
        {"file.txt", "x", true},
        {"empty.txt", "", true},
        {"folder.txt", nullptr, false},
#ifdef _WIN32
        {"hidden.txt", "x", false, FILE_ATTRIBUTE_HIDDEN},
        {"system.txt", "x", false, FILE_ATTRIBUTE_SYSTEM},
        {"readonly.txt", "x", true, FILE_ATTRIBUTE_READONLY},
#endif
    };
    TempDir dir;
    for (const auto& e : entries) {
        if (!e.bytes) std::filesystem::create_directory(dir.Path(e.name));
        if (e.bytes) WriteBytes(dir.Path(e.name), e.bytes);
#ifdef _WIN32
        if (e.attributes) SetFileAttributesW(dir.Path(e.name).c_str(), e.attributes);
#endif
    }
    for (const auto& e : entries) {
        EXPECT_EQ(IsOrdinaryFile(dir.File(e.name)), e.ordinary) << e.name;
        try {
            CreateFileWithContents(dir.File(e.name), "new");
            ADD_FAILURE() << e.name << " was replaced";
        } catch (const FileError& error) {
            EXPECT_EQ(error.FailedStep(), FileError::Step::AlreadyExists) << e.name;
        }
#ifdef _WIN32
        if (e.attributes) SetFileAttributesW(dir.Path(e.name).c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
        if (e.bytes) {
            EXPECT_EQ(ReadBytes(dir.Path(e.name)), e.bytes) << e.name;
        }
    }
    EXPECT_EQ(EntriesIn(dir.Root()), std::size(entries)) << "temporary files must be removed";
    EXPECT_FALSE(IsOrdinaryFile(u""));
    EXPECT_THROW(FileReader(dir.File("folder.txt")), FileError);
}

// Side files are what the user is told of after a crash: only this file's, by their marks.
TEST(LeftoverSideFiles, FindsTheSideFilesOfThisFileOnly) {
    TempDir dir;
    for (const char* name : {"chat.txt", "chat.txt.kivmacro-new-12-3", "chat.txt.kivmacro-old-7-1",
                             "chat.txt.kivtmp4321", "chat.txt.kivmacro-", "chat.txt.bak",
                             "other.txt.kivmacro-old-7-2", "chat.txt2.kivmacro-new-1-1"}) {
        WriteBytes(dir.Path(name), "x");
    }
    std::vector<std::u16string> found = LeftoverSideFiles(dir.File("chat.txt"));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::u16string>{dir.File("chat.txt.kivmacro-new-12-3"),
                                                  dir.File("chat.txt.kivmacro-old-7-1"),
                                                  dir.File("chat.txt.kivtmp4321")}));
    EXPECT_TRUE(LeftoverSideFiles(dir.File("missing/chat.txt")).empty());
    EXPECT_TRUE(IsSideFileOf(u"CHAT.TXT.KIVMACRO-OLD-1-1", u"chat.txt")) << "as Windows compares";
}

// Two writes never meet each other's side files, and leave none behind. A
// file with another name (a hard link) is changed under both: a swap would
// leave the other name on the old bytes.
TEST(ReplaceFileWithContents, LeavesOnlyTheFileWithItsNewBytesUnderEveryName) {
    TempDir dir;
    WriteBytes(dir.Path("chat.txt"), "old\r\n");
    ReplaceFileWithContents(dir.File("chat.txt"), "new macros\r\n");
    ReplaceFileWithContents(dir.File("chat.txt"), "old macros\r\n");
    EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), "old macros\r\n");
    EXPECT_EQ(EntriesIn(dir.Root()), 1u);
    std::filesystem::create_hard_link(dir.Path("chat.txt"), dir.Path("link.txt"));
    ReplaceFileWithContents(dir.File("chat.txt"), "new\r\n");  // shorter: the rest goes
    EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), "new\r\n");
    EXPECT_EQ(ReadBytes(dir.Path("link.txt")), "new\r\n");
    EXPECT_EQ(EntriesIn(dir.Root()), 2u) << "the copy kept meanwhile is gone";
}

#ifndef _WIN32
// A file of one name gets new bytes under a new inode: a reader that had it
// open goes on with the old bytes whole, never half of each.
TEST(ReplaceFileWithContents, AFileOfOneNameIsSwappedWhole) {
    TempDir dir;
    WriteBytes(dir.Path("chat.txt"), "old macros\r\n");
    FileReader reader(dir.File("chat.txt"));
    ReplaceFileWithContents(dir.File("chat.txt"), "new\r\n");
    char buffer[64] = {};
    EXPECT_EQ(std::string(buffer, reader.Read(buffer, sizeof buffer)), "old macros\r\n");
    EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), "new\r\n");
}

TEST(ReplaceFileWithContents, AFullDiskInAnInPlaceWriteBringsTheOldBytesBack) {
    TempDir dir;
    WriteBytes(dir.Path("chat.txt"), "old\r\n");
    std::filesystem::create_hard_link(dir.Path("chat.txt"), dir.Path("link.txt"));
    {
        test::FileSizeLimit limit(1000);
        try {
            ReplaceFileWithContents(dir.File("chat.txt"), std::string(2000, 'n'));
            ADD_FAILURE() << "a write past the limit succeeded";
        } catch (const FileError& error) {
            EXPECT_EQ(error.FailedStep(), FileError::Step::Write) << error.what();
        }
    }
    EXPECT_EQ(ReadBytes(dir.Path("link.txt")), "old\r\n");
    EXPECT_EQ(EntriesIn(dir.Root()), 2u) << "the copy kept meanwhile is gone";
}
#endif

#ifdef _WIN32
// What ReplaceFileW and a move after it may leave, each as documented (no
// disk fails so on purpose): the new bytes in place, or the old ones, or both
// under names the message gives. Never neither.
enum class Meanwhile { Nothing, TargetGone, NameTaken, TargetToBackup };
enum class Ends { New, Old, BothKeptAside, NewKeptAside };

struct SwapCase {
    DWORD error;  // what the replace says...
    int fails;    // ...so many times, then it works
    Meanwhile meanwhile;
    bool moveWorks;
    Ends ends;
    bool sameBytes = false;  // the new bytes equal the old: a failure is still one
};

constexpr int kAlways = 1000;
constexpr const char* kAnotherProgramsBytes = "another program's\r\n";

class FileSwap : public testing::TestWithParam<SwapCase> {
  protected:
    void TearDown() override { SetFileSwapCalls({}); }
};

TEST_P(FileSwap, TheUsersBytesAreUnderTheFilesNameOrANameTheUserIsTold) {
    const SwapCase& c = GetParam();
    TempDir dir;
    const std::string oldBytes = "old macros\r\n";
    const std::string newBytes = c.sameBytes ? oldBytes : "new macros\r\n";
    WriteBytes(dir.Path("chat.txt"), oldBytes);
    int calls = 0;
    SetFileSwapCalls(
        {.replace = [&](const wchar_t* target, const wchar_t* replacement,
                        const wchar_t* backup) -> BOOL {
             if (++calls > c.fails) {
                 return ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr);
             }
             if (c.meanwhile == Meanwhile::TargetGone || c.meanwhile == Meanwhile::NameTaken) {
                 DeleteFileW(target);
             }
             if (c.meanwhile == Meanwhile::NameTaken) {
                 WriteBytes(std::filesystem::path(target), kAnotherProgramsBytes);
             }
             if (c.meanwhile == Meanwhile::TargetToBackup) MoveFileExW(target, backup, 0);
             SetLastError(c.error);
             return FALSE;
         },
         .move = [&](const wchar_t* from, const wchar_t* to, DWORD flags) -> BOOL {
             if (c.moveWorks) return MoveFileExW(from, to, flags);
             SetLastError(ERROR_ACCESS_DENIED);
             return FALSE;
         },
         .pause = [](DWORD) {}});

    std::optional<FileError> failure;
    try {
        ReplaceFileWithContents(dir.File("chat.txt"), newBytes);
    } catch (const FileError& error) {
        failure = error;
    }
    const auto holds = [](const std::u16string& path, const std::string& bytes) {
        return !path.empty() && ReadBytes(std::filesystem::path(path)) == bytes;
    };
    const auto told = [&](const std::u16string& path) {
        return failure && failure->UserMessage().find(path) != std::u16string::npos;
    };
    if (c.ends == Ends::New || c.ends == Ends::Old) {
        const bool replaced = c.ends == Ends::New;
        EXPECT_TRUE(replaced ? !failure
                             : failure && failure->FailedStep() == FileError::Step::Finish)
            << (failure ? failure->what() : "no failure");
        EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), replaced ? newBytes : oldBytes);
        EXPECT_EQ(EntriesIn(dir.Root()), 1u) << "no side file left";
        return;
    }
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->FailedStep(), FileError::Step::SwapIncomplete);
    EXPECT_TRUE(holds(failure->NewCopy(), newBytes)) << failure->what();
    if (c.ends == Ends::BothKeptAside) {
        EXPECT_TRUE(holds(failure->OldCopy(), oldBytes)) << failure->what();
        EXPECT_NE(failure->OldCopy().find(u".kivmacro-old-"), std::u16string::npos);
        EXPECT_NE(failure->NewCopy().find(u".kivmacro-new-"), std::u16string::npos);
        // Each path under its own heading: the user must not take one for the other.
        EXPECT_TRUE(told(u"変更前の内容は「" + failure->OldCopy() + u"」")) << failure->what();
        EXPECT_TRUE(told(u"変更後の内容は「" + failure->NewCopy() + u"」")) << failure->what();
        EXPECT_EQ(EntriesIn(dir.Root()), 2u);
        return;
    }
    // The system took the old bytes (as documented without a backup name); the
    // user's new ones are still there, and told.
    EXPECT_TRUE(told(failure->NewCopy())) << failure->what();
    EXPECT_TRUE(failure->OldCopy().empty());
    if (c.meanwhile == Meanwhile::NameTaken) {
        EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), kAnotherProgramsBytes)
            << "a file another program put there is not overwritten";
    }
}

// 1175: both names as they were, busy like a sharing violation. 1176: the same, not busy, or (as
// without a backup name) the file gone, its name free for another program. 1177: now the backup.
constexpr DWORD kBusy = ERROR_SHARING_VIOLATION;
constexpr DWORD k1175 = ERROR_UNABLE_TO_REMOVE_REPLACED;
constexpr DWORD k1176 = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
constexpr DWORD k1177 = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
using enum Meanwhile;
INSTANTIATE_TEST_SUITE_P(
    EveryDocumentedOutcome, FileSwap,
    testing::Values(SwapCase{0, 0, Nothing, false, Ends::New},
                    SwapCase{kBusy, 2, Nothing, false, Ends::New},
                    SwapCase{kBusy, kAlways, Nothing, true, Ends::New},
                    SwapCase{kBusy, kAlways, Nothing, false, Ends::Old},
                    SwapCase{k1175, kAlways, Nothing, false, Ends::Old, true},
                    SwapCase{k1176, kAlways, Nothing, true, Ends::New},
                    SwapCase{k1176, kAlways, TargetGone, true, Ends::New},
                    SwapCase{k1176, kAlways, TargetGone, false, Ends::NewKeptAside},
                    SwapCase{k1176, kAlways, NameTaken, true, Ends::NewKeptAside},
                    SwapCase{k1177, kAlways, TargetToBackup, true, Ends::New},
                    SwapCase{k1177, kAlways, TargetToBackup, false, Ends::BothKeptAside}));

// Wine reports no reparse tag a sync client sets: the kind stands in, as
// Windows reports it. A sync client's file is swapped as any other, its
// retries and its old contents kept meanwhile with it; a link to a file
// elsewhere is written in place, so that it stays one, as is a reparse
// point whose tag cannot be read.
TEST(ReplaceFileWithContents, ASyncClientsFileIsSwappedAndALinkWrittenInPlace) {
    static DWORD tag = 0;
    SetFileKindSeam([](const std::u16string&) {
        return std::optional(FileKind{FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT, tag});
    });
    bool swapped = false;
    SetFileSwapCalls(
        {.replace =
             [&](const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) {
                 swapped = true;
                 return ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr);
             },
         .move = {},
         .pause = {}});
    const std::pair<DWORD, bool> cases[] = {
        {IO_REPARSE_TAG_CLOUD, true},
        {0x9000301A, true},  // IO_REPARSE_TAG_CLOUD_3
        {0x9000F01A, true},  // IO_REPARSE_TAG_CLOUD_F
        {IO_REPARSE_TAG_SYMLINK, false},
        {0x9000001B, false},  // another tag in the mask's place
        {0, false},
    };
    TempDir dir;
    for (const auto& [reparseTag, swaps] : cases) {
        tag = reparseTag;
        swapped = false;
        WriteBytes(dir.Path("chat.txt"), "old\r\n");
        ReplaceFileWithContents(dir.File("chat.txt"), "new\r\n");
        EXPECT_EQ(swapped, swaps) << std::hex << reparseTag;
        EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), "new\r\n");
        EXPECT_EQ(EntriesIn(dir.Root()), 1u) << std::hex << reparseTag;
    }
    SetFileSwapCalls({});
    SetFileKindSeam(nullptr);
}
#endif

}  // namespace
}  // namespace kiv

// The file functions beneath the tool: nothing ever replaced, and the user's bytes under a name
// the user knows whatever step of a replacement fails.

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

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

TEST(IsOrdinaryFile, CountsFilesButNotFoldersOrNothing) {
    TempDir dir;
    WriteBytes(dir.Path("file.txt"), "x");
    WriteBytes(dir.Path("empty.txt"), "");
    std::filesystem::create_directory(dir.Path("folder.txt"));
    EXPECT_TRUE(IsOrdinaryFile(dir.File("file.txt")));
    EXPECT_TRUE(IsOrdinaryFile(dir.File("empty.txt")));
    EXPECT_FALSE(IsOrdinaryFile(dir.File("folder.txt")));
    EXPECT_FALSE(IsOrdinaryFile(dir.File("none.txt")));
    EXPECT_FALSE(IsOrdinaryFile(u""));
}

#ifdef _WIN32
TEST(IsOrdinaryFile, HiddenAndSystemFilesDoNotCountButReadOnlyOnesDo) {
    TempDir dir;
    for (const char* name : {"hidden.txt", "system.txt", "readonly.txt"})
        WriteBytes(dir.Path(name), "x");
    SetFileAttributesW(dir.Path("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(dir.Path("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(dir.Path("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(IsOrdinaryFile(dir.File("hidden.txt")));
    EXPECT_FALSE(IsOrdinaryFile(dir.File("system.txt")));
    EXPECT_TRUE(IsOrdinaryFile(dir.File("readonly.txt")));
    SetFileAttributesW(dir.Path("readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    // A hidden file is no file to the lookup, but it is still never overwritten.
    EXPECT_THROW(CreateFileWithContents(dir.File("hidden.txt"), "new"), FileError);
    SetFileAttributesW(dir.Path("hidden.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(dir.Path("hidden.txt")), "x");
}
#endif

TEST(CreateFileWithContents, NeverReplacesWhatIsThere) {
    TempDir dir;
    WriteBytes(dir.Path("empty.txt"), "");
    std::filesystem::create_directory(dir.Path("folder"));
    try {
        CreateFileWithContents(dir.File("empty.txt"), "new");
        FAIL() << "expected a FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.FailedStep(), FileError::Step::AlreadyExists);
    }
    EXPECT_THROW(CreateFileWithContents(dir.File("folder"), "new"), FileError);
    EXPECT_EQ(ReadBytes(dir.Path("empty.txt")), "");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("folder")));
    EXPECT_EQ(EntriesIn(dir.Root()), 2u) << "temporary files must be removed";
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

// Two writes never meet each other's side files, and leave none behind.
TEST(ReplaceFileWithContents, LeavesOnlyTheFileWithItsNewBytes) {
    TempDir dir;
    WriteBytes(dir.Path("chat.txt"), "old\r\n");
    ReplaceFileWithContents(dir.File("chat.txt"), "new\r\n");
    ReplaceFileWithContents(dir.File("chat.txt"), "newer\r\n");
    EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), "newer\r\n");
    EXPECT_EQ(EntriesIn(dir.Root()), 1u);
}

// A file with another name (a hard link) is changed under both: a swap would
// leave the other name on the old bytes.
TEST(ReplaceFileWithContents, AFileWithAnotherNameIsWrittenInPlace) {
    TempDir dir;
    WriteBytes(dir.Path("chat.txt"), "old macros\r\n");  // longer: what is past the new end goes
    std::filesystem::create_hard_link(dir.Path("chat.txt"), dir.Path("link.txt"));
    ReplaceFileWithContents(dir.File("chat.txt"), "new\r\n");
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
enum class Swap {
    Works,
    BusyThenWorks,
    StaysBusy,
    E1175,
    E1176,
    E1176TargetGone,
    E1176NameTaken,  // and another program wrote a file of that name meanwhile
    E1177
};
enum class Then { Moves, MoveFails };
enum class Ends { New, Old, BothKeptAside, NewKeptAside };

struct SwapCase {
    Swap swap;
    Then then;
    Ends ends;
};

constexpr const char* kAnotherProgramsBytes = "another program's\r\n";

class FileSwap : public testing::TestWithParam<SwapCase> {
  protected:
    void TearDown() override { SetFileSwapCalls({}); }
};

TEST_P(FileSwap, TheUsersBytesAreUnderTheFilesNameOrANameTheUserIsTold) {
    const SwapCase& c = GetParam();
    TempDir dir;
    const std::string oldBytes = "old macros\r\n";
    const std::string newBytes = "new macros\r\n";
    WriteBytes(dir.Path("chat.txt"), oldBytes);
    int calls = 0;
    SetFileSwapCalls(
        {.replace = [&](const wchar_t* target, const wchar_t* replacement,
                        const wchar_t* backup) -> BOOL {
             ++calls;
             DWORD error = 0;
             switch (c.swap) {
                 case Swap::Works:
                     break;
                 case Swap::BusyThenWorks:
                     if (calls <= 2) error = ERROR_SHARING_VIOLATION;
                     break;
                 case Swap::StaysBusy:
                     error = ERROR_SHARING_VIOLATION;
                     break;
                 case Swap::E1175:  // both names as they were
                     error = ERROR_UNABLE_TO_REMOVE_REPLACED;
                     break;
                 case Swap::E1176:  // with a backup name: both names as they were
                     error = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
                     break;
                 case Swap::E1176TargetGone:  // as without one: the file no longer exists
                     DeleteFileW(target);
                     error = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
                     break;
                 case Swap::E1176NameTaken:
                     DeleteFileW(target);
                     WriteBytes(std::filesystem::path(target), kAnotherProgramsBytes);
                     error = ERROR_UNABLE_TO_MOVE_REPLACEMENT;
                     break;
                 case Swap::E1177:  // the file under the backup's name
                     MoveFileExW(target, backup, 0);
                     error = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
                     break;
             }
             if (error == 0) {
                 return ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr);
             }
             SetLastError(error);
             return FALSE;
         },
         .move = [&](const wchar_t* from, const wchar_t* to, DWORD flags) -> BOOL {
             if (c.then == Then::Moves) return MoveFileExW(from, to, flags);
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
    switch (c.ends) {
        case Ends::New:
            EXPECT_FALSE(failure) << failure->what();
            EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), newBytes);
            EXPECT_EQ(EntriesIn(dir.Root()), 1u) << "no side file left";
            break;
        case Ends::Old:
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->FailedStep(), FileError::Step::Finish) << failure->what();
            EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), oldBytes) << "nothing changed";
            EXPECT_EQ(EntriesIn(dir.Root()), 1u) << "no side file left";
            break;
        case Ends::BothKeptAside:
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->FailedStep(), FileError::Step::SwapIncomplete);
            EXPECT_TRUE(holds(failure->OldCopy(), oldBytes)) << failure->what();
            EXPECT_TRUE(holds(failure->NewCopy(), newBytes)) << failure->what();
            EXPECT_NE(failure->OldCopy().find(u".kivmacro-old-"), std::u16string::npos);
            EXPECT_NE(failure->NewCopy().find(u".kivmacro-new-"), std::u16string::npos);
            // Each path under its own heading: the user must not take one for the other.
            EXPECT_TRUE(told(u"変更前の内容は「" + failure->OldCopy() + u"」")) << failure->what();
            EXPECT_TRUE(told(u"変更後の内容は「" + failure->NewCopy() + u"」")) << failure->what();
            EXPECT_EQ(EntriesIn(dir.Root()), 2u);
            break;
        case Ends::NewKeptAside:
            // The system took the old bytes (as documented without a backup
            // name); the user's new ones are still there, and told.
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->FailedStep(), FileError::Step::SwapIncomplete);
            EXPECT_TRUE(holds(failure->NewCopy(), newBytes)) << failure->what();
            EXPECT_TRUE(told(failure->NewCopy())) << failure->what();
            EXPECT_TRUE(failure->OldCopy().empty());
            if (c.swap == Swap::E1176NameTaken) {
                EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), kAnotherProgramsBytes)
                    << "a file another program put there is not overwritten";
            }
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryDocumentedOutcome, FileSwap,
    testing::Values(SwapCase{Swap::Works, Then::MoveFails, Ends::New},
                    SwapCase{Swap::BusyThenWorks, Then::MoveFails, Ends::New},
                    SwapCase{Swap::StaysBusy, Then::Moves, Ends::New},
                    SwapCase{Swap::StaysBusy, Then::MoveFails, Ends::Old},
                    SwapCase{Swap::E1175, Then::Moves, Ends::New},
                    SwapCase{Swap::E1175, Then::MoveFails, Ends::Old},
                    SwapCase{Swap::E1176, Then::Moves, Ends::New},
                    SwapCase{Swap::E1176, Then::MoveFails, Ends::Old},
                    SwapCase{Swap::E1176TargetGone, Then::Moves, Ends::New},
                    SwapCase{Swap::E1176TargetGone, Then::MoveFails, Ends::NewKeptAside},
                    SwapCase{Swap::E1176NameTaken, Then::Moves, Ends::NewKeptAside},
                    SwapCase{Swap::E1177, Then::Moves, Ends::New},
                    SwapCase{Swap::E1177, Then::MoveFails, Ends::BothKeptAside}));

// The file holding bytes equal to the new ones says nothing of whether the
// swap happened: a failure is still one.
TEST(FileSwapOfTheSameBytes, AFailedSwapIsReportedAndLeavesNoSideFile) {
    TempDir dir;
    WriteBytes(dir.Path("chat.txt"), "same\r\n");
    SetFileSwapCalls({.replace = [](const wchar_t*, const wchar_t*, const wchar_t*) -> BOOL {
                          SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
                          return FALSE;
                      },
                      .move = [](const wchar_t*, const wchar_t*, DWORD) -> BOOL {
                          SetLastError(ERROR_ACCESS_DENIED);
                          return FALSE;
                      },
                      .pause = [](DWORD) {}});
    EXPECT_THROW(ReplaceFileWithContents(dir.File("chat.txt"), "same\r\n"), FileError);
    SetFileSwapCalls({});
    EXPECT_EQ(ReadBytes(dir.Path("chat.txt")), "same\r\n");
    EXPECT_EQ(EntriesIn(dir.Root()), 1u);
}
#endif

TEST(FileReader, ReportsWhatCannotBeOpened) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    EXPECT_THROW(FileReader(dir.File("none.txt")), FileError);
    EXPECT_THROW(FileReader(dir.File("folder")), FileError);
}

}  // namespace
}  // namespace kiv

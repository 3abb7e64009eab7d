// The file functions beneath the tool: what counts as a file, nothing ever replaced, and what
// cannot be opened said plainly.

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

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

TEST(FileReader, ReportsWhatCannotBeOpened) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    EXPECT_THROW(FileReader(dir.File("none.txt")), FileError);
    EXPECT_THROW(FileReader(dir.File("folder")), FileError);
}

}  // namespace
}  // namespace kiv

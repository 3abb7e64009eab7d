// What the user sees when the disk or the file system lets the tool down: a full disk, a file that
// vanishes or is locked, a very long path. Each time the previous good state must stay and the
// error must say what happened.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "macro/default_macros.h"
#include "macro/macro_list.h"
#include "platform/file_system.h"
#include "settings/ini_file.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/handle_win32.h"
#endif

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class FileFaults : public testing::Test {
  protected:
    void SetUp() override {
        WriteBytes(dir_.Path("good.txt"), "kept\r\n");
        macros_.SetFileName(dir_.File("good.txt"));
        macros_.LoadData();
    }
    void TearDown() override { SetBeforeOpenHook(nullptr); }

    // Loads `name`, which must fail at `step` naming it, and checks that nothing changed.
    void ExpectLoadFailsAndKeepsTheMacros(const std::string& name, FileError::Step step) {
        macros_.SetFileName(dir_.File(name));
        try {
            macros_.LoadData();
            ADD_FAILURE() << "loading " << name << " succeeded";
        } catch (const FileError& error) {
            EXPECT_EQ(error.FailedStep(), step) << error.what();
            EXPECT_EQ(error.Path(), dir_.File(name));
            EXPECT_FALSE(error.Reason().empty());
            EXPECT_NE(error.UserMessage().find(dir_.File(name)), std::u16string::npos);
            EXPECT_NE(error.UserMessage().find(u"ファイル"), std::u16string::npos);
        }
        EXPECT_EQ(macros_.FileName(), dir_.File(name));
        ASSERT_EQ(macros_.Count(), 1u);
        EXPECT_EQ(macros_.Item(1), Macro(u"kept", u"kept"));
    }

    TempDir dir_;
    MacroList macros_;
};

TEST_F(FileFaults, AMacroFileThatVanishesOrCannotBeMadeIsAnErrorThatKeepsTheMacros) {
    ExpectLoadFailsAndKeepsTheMacros("missing/m.txt", FileError::Step::Create);
    std::filesystem::create_directory(dir_.Path("folder.txt"));
    ExpectLoadFailsAndKeepsTheMacros("folder.txt", FileError::Step::AlreadyExists);
    WriteBytes(dir_.Path("vanishing.txt"), "gone\r\n");
    SetBeforeOpenHook([](const std::u16string& path) { std::filesystem::remove(path); });
    ExpectLoadFailsAndKeepsTheMacros("vanishing.txt", FileError::Step::Open);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("vanishing.txt")))
        << "no default file written over a file that was there when looked for";
}

#ifdef _WIN32
TEST_F(FileFaults, AMacroFileLockedByAnotherProgramIsAnOpenError) {
    WriteBytes(dir_.Path("locked.txt"), "locked\r\n");
    const UniqueFile lock(CreateFileW(dir_.Path("locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    ExpectLoadFailsAndKeepsTheMacros("locked.txt", FileError::Step::Open);
}
#else
// (An unreadable file cannot be made here: the tests run as root.)
TEST_F(FileFaults, AFullDiskLeavesNoHalfWrittenFileAndKeepsTheSettingsStore) {
    const std::string before = "[Setting]\r\nFileName=C:\\chat.txt\r\n";
    WriteBytes(dir_.Path("chat.ini"), before);
    IniFile settings;
    ASSERT_TRUE(settings.Load(dir_.File("chat.ini")));
    settings.SetNowSection(u"Setting");
    const std::u16string longPath = u"C:\\" + std::u16string(4000, u'x') + u".txt";
    settings.SetData(u"FileName", longPath);
    {
        test::FileSizeLimit limit(1000);  // the default macro file is 2184 bytes
        ExpectLoadFailsAndKeepsTheMacros("new.txt", FileError::Step::Write);
        EXPECT_FALSE(settings.Save(u"Setting"));
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.txt")));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Root()), {}), 2)
        << "no temporary file left behind";
    EXPECT_EQ(settings.Data(u"FileName"), longPath) << "kept for another try";
    EXPECT_TRUE(settings.Save(u"Setting"));
}
#endif

TEST_F(FileFaults, PathsOfThreeHundredCharacters) {
    std::filesystem::path deep = dir_.Root();
    while (deep.native().size() < 300) deep /= std::string(40, 'd');
    std::filesystem::create_directories(deep);
    const std::u16string macroFile = (deep / "chat.txt").u16string();
    ASSERT_GE(macroFile.size(), 300u);

    macros_.SetFileName(macroFile);
    macros_.LoadData();
    EXPECT_EQ(std::vector<Macro>(macros_.begin(), macros_.end()), DefaultMacros())
        << "written there and read back";

    IniFile settings;
    ASSERT_TRUE(settings.Load((deep / "chat.ini").u16string()));
    settings.SetNowSection(u"Setting");
    settings.SetData(u"FileName", macroFile);
#ifdef _WIN32
    // kernel32's ANSI profile functions stop at MAX_PATH; a save must not
    // claim success there.
    EXPECT_FALSE(settings.Save(u"Setting"));
#else
    ASSERT_TRUE(settings.Save(u"Setting"));
    EXPECT_EQ(ReadBytes(deep / "chat.ini"),
              "[Setting]\r\nFileName=" + (deep / "chat.txt").string() + "\r\n");
#endif
}

}  // namespace
}  // namespace kiv

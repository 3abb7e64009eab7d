// The main window's decisions that need no window: paths beside the program,
// start-up and shut-down over the settings file, the dialog record, commands.

#include <gtest/gtest.h>

#include <array>

#include "app/main_commands.h"
#include "app/startup_settings.h"
#include "dialogs/open_file_request.h"
#include "platform/ansi_text.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(ProgramPaths, SettingsAndMacrosLieBesideTheProgram) {
    EXPECT_EQ(IniFilePath(u"C:\\Tools\\chat.exe"), u"C:\\Tools\\chat.ini");
    EXPECT_EQ(DefaultMacroFilePath(u"C:\\Tools\\chat.exe"), u"C:\\Tools\\chat.txt");
    EXPECT_EQ(IniFilePath(u"C:\\chat.exe"), u"C:\\chat.ini");
    EXPECT_EQ(DefaultMacroFilePath(u"D:\\my.tools\\kiv macro.v2.exe"),
              u"D:\\my.tools\\kiv macro.v2.txt");
}

class StartupTest : public testing::Test {
  protected:
    StartupSettings Start(const std::u16string& ini) {
        WriteBytes(dir_.Path("chat.ini"), ToAnsi(ini));
        return ReadStartupSettings(dir_.File("chat.ini"), kOwn, u"C:\\Tools\\chat.txt");
    }
    static constexpr WindowGeometry kOwn{100, 200, 3750, 3420};
    TempDir dir_;
};

TEST_F(StartupTest, EachPositionValueIsDecidedOnItsOwn) {
    const StartupSettings s =
        Start(u"[Position]\r\nLeft=abc\r\nTop=300\r\nWidth=32768\r\nHeight=-32768\r\n");
    EXPECT_EQ(s.geometry, (WindowGeometry{100, 300, 3750, -32768}));
    EXPECT_EQ(s.macroFile, u"C:\\Tools\\chat.txt");
}

TEST_F(StartupTest, ABlankMacroFileGivesTheDefaultAndNothingIsWritten) {
    const std::u16string ini = u"[Setting]\r\nFileName=   \r\n";
    EXPECT_EQ(Start(ini).macroFile, u"C:\\Tools\\chat.txt");
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")), ToAnsi(ini));
    EXPECT_EQ(Start(u"[Setting]\r\nFileName=D:\\表\\x.txt\r\n").macroFile, u"D:\\表\\x.txt");
}

TEST_F(StartupTest, ShutDownKeepsForeignSettingsAndPutsItsOwnLast) {
    WriteBytes(dir_.Path("chat.ini"), "[Position]\r\nTop=1\r\nMine=yes\r\n[Other]\r\nx=1\r\n");
    ASSERT_TRUE(
        WriteShutdownSettings(dir_.File("chat.ini"), {-15, 30, 3750.4f, 3420}, u"D:\\表\\x.txt"));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              ToAnsi(u"[Position]\r\nMine=yes\r\nLeft=-15\r\nTop=30\r\nWidth=3750\r\n"
                     u"Height=3420\r\n[Other]\r\nx=1\r\n[Setting]\r\nFileName=D:\\表\\x.txt\r\n"));
}

TEST_F(StartupTest, AMacroFileThatNeverLoadedLeavesTheStoredOne) {
    WriteBytes(dir_.Path("chat.ini"), "[Setting]\r\nFileName=E:\\gone.txt\r\n");
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"), kOwn, std::nullopt));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              "[Setting]\r\nFileName=E:\\gone.txt\r\n[Position]\r\nLeft=100\r\nTop=200\r\n"
              "Width=3750\r\nHeight=3420\r\n");
}

TEST_F(StartupTest, AFirstShutDownWritesPositionThenSetting) {
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("new.ini"), kOwn, u"C:\\Tools\\chat.txt"));
    EXPECT_EQ(ReadBytes(dir_.Path("new.ini")),
              "[Position]\r\nLeft=100\r\nTop=200\r\nWidth=3750\r\nHeight=3420\r\n"
              "[Setting]\r\nFileName=C:\\Tools\\chat.txt\r\n");
}

TEST(OpenFileRequest, FillsTheRecordAsTheDialogNeedsIt) {
    const OpenFileRequest r = BuildOpenFileRequest(
        u"", u"D:\\macros", u"chat.txt", u"テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*");
    EXPECT_EQ(r.filter, ToAnsi(u"テキストファイル(*.txt)") + '\0' + "*.txt" + '\0' +
                            ToAnsi(u"全てのファイル(*.*)") + '\0' + "*.*" + '\0' + '\0');
    EXPECT_EQ(r.title, "\xcc\xa7\xb2\xd9\x82\xf0\x8a\x4a\x82\xad");  // ﾌｧｲﾙを開く
    EXPECT_EQ(r.initialDirectory, "D:\\macros");
    EXPECT_EQ(std::string(r.file.data()), "chat.txt");
    EXPECT_EQ(r.file[255], '\0');
    EXPECT_EQ(std::string(r.fileTitle.data()), "chat.txt");
    EXPECT_EQ(r.flags, 0x80804u);
    EXPECT_EQ(r.filterIndex, 1u);
    EXPECT_EQ(BuildOpenFileRequest(u"選択", std::nullopt, u"", u"a|b").title, ToAnsi(u"選択"));
}

TEST(OpenFileRequest, ANameTooLongForTheBufferIsNotPreset) {
    const std::u16string fits(127, u'表');     // 254 bytes and the NUL
    const std::u16string tooLong(128, u'表');  // 256 bytes: no room for the NUL
    EXPECT_EQ(std::string(BuildOpenFileRequest(u"", {}, fits, u"a|b").file.data()).size(), 254u);
    EXPECT_EQ(BuildOpenFileRequest(u"", {}, tooLong, u"a|b").file[0], '\0');
}

TEST(OpenFileRequest, TheChosenPathEndsAtTheFirstNul) {
    std::array<char, OpenFileRequest::kBufferSize> file{};
    const std::string path = ToAnsi(u"C:\\表\\a.txt");
    std::copy(path.begin(), path.end(), file.begin());
    EXPECT_EQ(ChosenPath(file), u"C:\\表\\a.txt");
    file.fill('x');
    EXPECT_EQ(ChosenPath(file).size(), 256u);
}

TEST(MainCommands, TheDialogStartsWhereTheMacroFileIs) {
    EXPECT_EQ(DialogStartFor(u"D:\\macros\\chat.txt"), (DialogStart{u"D:\\macros", u"chat.txt"}));
    EXPECT_EQ(DialogStartFor(u"C:\\chat.txt"), (DialogStart{u"C:", u"chat.txt"}));
    EXPECT_EQ(DialogStartFor(u"chat.txt"), (DialogStart{std::nullopt, u"chat.txt"}));
}

TEST(MainCommands, SayNextWrapsAndHandlesNothingSelected) {
    EXPECT_EQ(SelectionAfterSayNext(2, 3), 0);
    EXPECT_EQ(SelectionAfterSayNext(0, 3), 1);
    EXPECT_EQ(SelectionAfterSayNext(-1, 3), 0);
    EXPECT_EQ(SelectionAfterSayNext(-1, 0), -1);
}

TEST(MainCommands, AWindowOffEveryScreenComesBackWhole) {
    const PixelRect work{0, 0, 1280, 760};
    EXPECT_EQ(MoveInto({5000, -900, 5300, -600}, work), (PixelRect{980, 0, 1280, 300}));
    EXPECT_EQ(MoveInto({-100, 10, 2000, 20}, work), (PixelRect{0, 10, 1280, 20}));
}

}  // namespace
}  // namespace kiv

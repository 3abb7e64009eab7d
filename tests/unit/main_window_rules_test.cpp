// The main window's decisions that need no window: paths beside the program,
// start-up and shut-down over the settings file, the dialog record, commands.

#include <gtest/gtest.h>

#include <array>

#include "app/auto_reload.h"
#include "app/main_commands.h"
#include "app/startup_settings.h"
#include "app/window_placement.h"
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

TEST_F(StartupTest, EachPositionValueIsDecidedOnItsOwnOverTheWhole32BitRange) {
    // 40,000 twips is x = 2,667 px at 100 %: a second monitor on the right.
    const StartupSettings s =
        Start(u"[Position]\r\nLeft=abc\r\nTop=-40000.5\r\nWidth=2147483648\r\nHeight= 40001 \r\n");
    EXPECT_EQ(s.geometry, (WindowGeometry{100, -40000, 3750, 40001}));
    EXPECT_EQ(Start(u"[Position]\r\nWidth=0\r\nHeight=-3000\r\n").geometry, kOwn)
        << "a window of no size keeps its own";
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
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"), {.geometry = {-15, 30, 3750.4f, 3420},
                                                              .macroFile = u"D:\\表\\x.txt"}));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              ToAnsi(u"[Position]\r\nMine=yes\r\nLeft=-15\r\nTop=30\r\nWidth=3750\r\n"
                     u"Height=3420\r\n[Other]\r\nx=1\r\n[Setting]\r\nFileName=D:\\表\\x.txt\r\n"));
}

TEST_F(StartupTest, AMacroFileThatNeverLoadedLeavesTheStoredOne) {
    WriteBytes(dir_.Path("chat.ini"), "[Setting]\r\nFileName=E:\\gone.txt\r\n");
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"), {.geometry = kOwn}));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              "[Setting]\r\nFileName=E:\\gone.txt\r\n[Position]\r\nLeft=100\r\nTop=200\r\n"
              "Width=3750\r\nHeight=3420\r\n");
}

TEST_F(StartupTest, AFirstShutDownWritesPositionThenSetting) {
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("new.ini"),
                                      {.geometry = kOwn, .macroFile = u"C:\\Tools\\chat.txt"}));
    EXPECT_EQ(ReadBytes(dir_.Path("new.ini")),
              "[Position]\r\nLeft=100\r\nTop=200\r\nWidth=3750\r\nHeight=3420\r\n"
              "[Setting]\r\nFileName=C:\\Tools\\chat.txt\r\n");
}

TEST_F(StartupTest, OptionsAreReadWithTheirDefaultsAndKeptAsTyped) {
    const Options read = Start(
                             u"[option]\r\nTopMost=yes\r\nHotkeySay= ctrl + alt + s \r\n"
                             u"HotkeyNext=Ctrl+Tab\r\n")
                             .options;
    EXPECT_FALSE(read.topMost) << "not a Boolean: the default";
    EXPECT_EQ(read.hotkeys[0], u"ctrl + alt + s") << "the profile functions trim the value";
    EXPECT_EQ(read.hotkeys[3], u"Ctrl+Tab") << "kept for writing back, though no hotkey";
    EXPECT_TRUE(Start(u"[Option]\r\nTopMost=1\r\n").options.topMost);
    EXPECT_EQ(Start(u"").options, Options{});
}

TEST_F(StartupTest, OptionsAreWrittenOnlyWhereTheyExistOrChanged) {
    Options options;
    options.hotkeys[3] = u"Ctrl+Tab";
    WriteBytes(dir_.Path("chat.ini"), "[Setting]\r\nFileName=a.txt\r\n");
    ASSERT_TRUE(WriteShutdownSettings(
        dir_.File("chat.ini"), {.geometry = kOwn, .macroFile = u"a.txt", .options = options}));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")).find("Option"), std::string::npos)
        << "unchanged and never there: not written";

    options.topMost = true;
    ASSERT_TRUE(WriteShutdownSettings(
        dir_.File("chat.ini"),
        {.geometry = kOwn, .macroFile = u"a.txt", .options = options, .optionsChanged = true}));
    const std::string written =
        "[Option]\r\nTopMost=1\r\nHotkeySay=\r\nHotkeySayNext=\r\n"
        "HotkeyPrevious=\r\nHotkeyNext=Ctrl+Tab\r\n";
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              "[Setting]\r\nFileName=a.txt\r\n[Position]\r\nLeft=100\r\nTop=200\r\n"
              "Width=3750\r\nHeight=3420\r\n" +
                  written);

    // Once there, the section is written at every close, changed or not.
    ASSERT_TRUE(WriteShutdownSettings(
        dir_.File("chat.ini"), {.geometry = kOwn, .macroFile = u"a.txt", .options = options}));
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini")).find(written), std::string::npos);
}

TEST(OpenFileRequest, FillsTheRecordAsTheDialogNeedsIt) {
    const OpenFileRequest r = BuildOpenFileRequest(
        u"", u"D:\\macros", u"chat.txt", u"テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*");
    EXPECT_EQ(r.filter, ToAnsi(u"テキストファイル(*.txt)") + '\0' + "*.txt" + '\0' +
                            ToAnsi(u"全てのファイル(*.*)") + '\0' + "*.*" + '\0' + '\0');
    EXPECT_EQ(r.title, "\xcc\xa7\xb2\xd9\x82\xf0\x8a\x4a\x82\xad");  // ﾌｧｲﾙを開く
    EXPECT_EQ(r.initialDirectory, "D:\\macros");
    EXPECT_EQ(std::string(r.file.c_str()), "chat.txt");
    EXPECT_EQ(r.file.size(), OpenFileRequest::kBufferSize);
    EXPECT_EQ(r.file.back(), '\0');
    EXPECT_EQ(r.fileTitle, r.file);
    EXPECT_EQ(r.flags, 0x80804u);
    EXPECT_EQ(r.filterIndex, 1u);
    EXPECT_EQ(BuildOpenFileRequest(u"選択", std::nullopt, u"", u"a|b").title, ToAnsi(u"選択"));
}

TEST(OpenFileRequest, TheFilterIsCutBeforeItBecomesCp932) {
    // ポ is 83 7C in CP932: its second byte is the bar.
    EXPECT_EQ(BuildOpenFileRequest(u"", {}, u"", u"ポエム(*.txt)|*.txt").filter,
              std::string("\x83\x7c\x83\x47\x83\x80(*.txt)\0*.txt\0\0", 21));
}

TEST(OpenFileRequest, AnyPathFitsAndTheChoiceEndsAtTheFirstNul) {
    const std::u16string longest(32767, u'表');  // Windows' longest path, two bytes a character
    const OpenFileRequest r = BuildOpenFileRequest(u"", {}, longest, u"a|b");
    EXPECT_EQ(ChosenPath(r.file), longest);
    EXPECT_EQ(BuildOpenFileRequest(u"", {}, longest + u"表", u"a|b").file[0], '\0')
        << "a name with no room for its NUL is not preset";
    EXPECT_EQ(ChosenPath(std::string("C:\\\x95\x5c\\a.txt\0junk", 16)), u"C:\\表\\a.txt");
}

TEST(MainCommands, TheDialogStartsWhereTheMacroFileIs) {
    EXPECT_EQ(DialogStartFor(u"D:\\macros\\chat.txt"), (DialogStart{u"D:\\macros", u"chat.txt"}));
    EXPECT_EQ(DialogStartFor(u"C:\\chat.txt"), (DialogStart{u"C:", u"chat.txt"}));
    EXPECT_EQ(DialogStartFor(u"chat.txt"), (DialogStart{std::nullopt, u"chat.txt"}));
}

TEST(MainCommands, StepsWrapAtBothEnds) {
    EXPECT_EQ(SelectionAfterStep(1, 3, Step::Next), 2);
    EXPECT_EQ(SelectionAfterStep(2, 3, Step::Next), 0);
    EXPECT_EQ(SelectionAfterStep(-1, 3, Step::Next), 0);
    EXPECT_EQ(SelectionAfterStep(1, 3, Step::Previous), 0);
    EXPECT_EQ(SelectionAfterStep(0, 3, Step::Previous), 2);
    EXPECT_EQ(SelectionAfterStep(-1, 3, Step::Previous), 2);
    EXPECT_EQ(SelectionAfterStep(-1, 0, Step::Previous), -1);
    EXPECT_EQ(SelectionAfterStep(-1, 0, Step::Next), -1);
}

TEST(MainCommands, OneDroppedFileLoadsAndAnythingElseIsExplained) {
    const auto isFolder = [](const std::u16string& path) { return path.ends_with(u"\\"); };
    EXPECT_EQ(DecideDrop({u"C:\\m\\a.txt"}, isFolder).load, u"C:\\m\\a.txt");
    const DropOutcome folder = DecideDrop({u"C:\\m\\"}, isFolder);
    EXPECT_EQ(folder.load, std::nullopt);
    EXPECT_NE(folder.message.find(u"フォルダー"), std::u16string::npos);
    const DropOutcome two = DecideDrop({u"a.txt", u"b.txt"}, isFolder);
    EXPECT_EQ(two.load, std::nullopt);
    EXPECT_NE(two.message.find(u"1 つだけ"), std::u16string::npos);
    EXPECT_EQ(DecideDrop({u"C:\\m\\♥.txt"}, isFolder).load, std::nullopt)
        << "a name the settings file (CP932) cannot keep";
}

TEST(AutoReload, ActsOnRealChangesOnly) {
    AutoReload reload;
    const FileStamp first{10, 1};
    reload.Loaded(first);
    EXPECT_EQ(reload.Settled(first, true), AutoReload::Step::Nothing) << "another file changed";
    EXPECT_EQ(reload.Settled(std::nullopt, true), AutoReload::Step::Nothing)
        << "deleted: list stays";
    EXPECT_EQ(reload.Settled(FileStamp{12, 2}, true), AutoReload::Step::Reload);
    // Emptied while the list shows macros: one more moment for the second half of a save.
    EXPECT_EQ(reload.Settled(FileStamp{0, 3}, true), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.Settled(FileStamp{0, 3}, true), AutoReload::Step::Reload) << "still empty";
    AutoReload fresh;
    EXPECT_EQ(fresh.Settled(FileStamp{0, 3}, false), AutoReload::Step::Reload) << "nothing shown";
}

TEST(AutoReload, AnUnreadableFileIsTriedAgainAndToldOnce) {
    AutoReload reload;
    reload.Loaded(FileStamp{10, 1});
    EXPECT_EQ(reload.Settled(FileStamp{12, 2}, true), AutoReload::Step::Reload);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::Tell);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::Nothing) << "told once, not per change";
    reload.Reloaded(FileStamp{14, 3});
    EXPECT_EQ(reload.Settled(FileStamp{15, 4}, true), AutoReload::Step::Reload);
    EXPECT_EQ(reload.ReloadFailed(), AutoReload::Step::WaitAgain) << "after a good read, anew";
}

TEST(AutoReload, TheSelectionStaysWhereItCan) {
    EXPECT_EQ(SelectionAfterReload(2, 5), 2);
    EXPECT_EQ(SelectionAfterReload(7, 5), 4);
    EXPECT_EQ(SelectionAfterReload(-1, 5), -1);
    EXPECT_EQ(SelectionAfterReload(3, 0), -1);
}

TEST(MainCommands, SayNextWrapsAndHandlesNothingSelected) {
    EXPECT_EQ(SelectionAfterSayNext(2, 3), 0);
    EXPECT_EQ(SelectionAfterSayNext(0, 3), 1);
    EXPECT_EQ(SelectionAfterSayNext(-1, 3), 0);
    EXPECT_EQ(SelectionAfterSayNext(-1, 0), -1);
}

TEST(WindowPlacement, TwipsMeanTheSystemDpiOnEveryMonitor) {
    const WindowGeometry stored{1500, -300, 3750, 3000};
    EXPECT_EQ(GeometryToPixels(stored, 96), (PixelRect{100, -20, 350, 180}));
    EXPECT_EQ(GeometryToPixels(stored, 144), (PixelRect{150, -30, 525, 270}));
    EXPECT_EQ(GeometryToPixels(stored, 192), (PixelRect{200, -40, 700, 360}));
    for (const unsigned dpi : {96u, 144u, 192u}) {
        EXPECT_EQ(PixelsToGeometry(GeometryToPixels(stored, dpi), dpi), stored) << dpi;
    }
}

class OffScreenGuard : public testing::Test {
  protected:
    // A 250 x 200 window whose 23-px caption starts 8 px down; 31 px at the
    // left (frame and icon) and 146 px at the right (buttons) do not drag.
    static PixelRect Window(int left, int top) { return {left, top, left + 250, top + 200}; }
    static constexpr CaptionBar kCaption{8, 23, 31, 146};
    const std::vector<PixelRect> one_{{0, 0, 1280, 984}};
    const std::vector<PixelRect> two_{{0, 0, 1280, 984}, {1280, 0, 2560, 984}};
};

TEST_F(OffScreenGuard, AGrabbableCaptionKeepsTheStoredPlace) {
    EXPECT_EQ(PlaceOnScreen(Window(100, 100), kCaption, one_), Window(100, 100));
    EXPECT_EQ(PlaceOnScreen(Window(2000, 500), kCaption, two_), Window(2000, 500));
    // Hanging past the left edge with enough of the caption still in reach.
    EXPECT_EQ(PlaceOnScreen(Window(-20, 400), kCaption, one_), Window(-20, 400));
    EXPECT_EQ(PlaceOnScreen(Window(1100, 900), kCaption, one_), Window(1100, 900));
}

TEST_F(OffScreenGuard, AnUnreachableCaptionComesBackToTheNearestWorkArea) {
    EXPECT_EQ(PlaceOnScreen(Window(100, -10), kCaption, one_), Window(100, 0)) << "above the top";
    EXPECT_EQ(PlaceOnScreen(Window(1268, 100), kCaption, one_), Window(1030, 100))
        << "95 % past the right edge";
    EXPECT_EQ(PlaceOnScreen(Window(2000, 500), kCaption, one_), Window(1030, 500))
        << "on a monitor that is gone";
    EXPECT_EQ(PlaceOnScreen(Window(1150, 970), kCaption, two_), Window(1030, 784))
        << "into the monitor it overlaps most, not the one its caption touches";
    EXPECT_EQ(PlaceOnScreen(Window(1270, -150), kCaption, two_), Window(1280, 0));
    EXPECT_EQ(PlaceOnScreen({-50, -100, 2000, 200}, kCaption, one_), (PixelRect{0, 0, 1280, 300}))
        << "shrunk to what the work area holds";
}

}  // namespace
}  // namespace kiv

// The tool's settings read at start and written at close, in real files beside a stand-in program.

#include "app/window/startup_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/utf8.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(ProgramPaths, SettingsAndMacrosLieBesideTheProgram) {
    EXPECT_EQ(IniFilePath(u"C:\\Tools\\chat.exe"), u"C:\\Tools\\chat.ini");
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

// A settings file that is there but cannot be opened, or opened but not read (a range another
// program locked: Windows fails the read, Wine lets it through, hence the hook), reads as empty:
// told apart from one not there (the first run) or a folder of that name (no settings file).
TEST_F(StartupTest, ASettingsFileThereButUnreadableIsToldApartFromOneNotThere) {
    const auto refuse = [](const std::u16string& path) {
        if (path.ends_with(u"chat.ini")) throw FileError(path, FileError::Step::Read, u"ロック");
    };
    const struct {
        const char* name;
        BeforeOpenHook open;
        BeforeOpenHook read;
        bool there;
        bool told;
    } cases[] = {{"held", refuse, nullptr, true, true},
                 {"a range locked", nullptr, refuse, true, true},
                 {"read", nullptr, nullptr, true, false},
                 {"not there", refuse, refuse, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir_.Path("chat.ini"));
        if (c.there) WriteBytes(dir_.Path("chat.ini"), "[Option]\r\nTopMost=1\r\n");
        SetBeforeOpenHook(c.open);
        SetBeforeReadHook(c.read);
        const StartupSettings s =
            ReadStartupSettings(dir_.File("chat.ini"), kOwn, u"C:\\Tools\\chat.txt");
        SetBeforeOpenHook(nullptr);
        SetBeforeReadHook(nullptr);
        EXPECT_EQ(s.unreadable.has_value(), c.told);
        EXPECT_NE(s.unreadable.value_or(u"ロック").find(u"ロック"), std::u16string::npos);
    }
    std::filesystem::remove(dir_.Path("chat.ini"));
    std::filesystem::create_directory(dir_.Path("chat.ini"));
    EXPECT_FALSE(ReadStartupSettings(dir_.File("chat.ini"), kOwn, u"x").unreadable) << "a folder";
}

// The settings file is read in its own encoding, and what the tool refuses to put in it follows
// that encoding: one in UTF-8 or UTF-16 holds a folder's ♥ and a title's, one in CP932 does not.
TEST_F(StartupTest, TheSettingsFileIsReadAndRefusesByItsOwnEncoding) {
    const std::u16string japanese = u"[Setting]\r\nFileName=C:\\表\\chat.txt\r\n";
    const std::u16string heart = u"[Setting]\r\nFileName=C:\\♥\\chat.txt\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit : heart) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    const std::tuple<const char*, std::string, std::u16string, bool> cases[] = {
        {"CP932", ToAnsi(japanese), u"C:\\表\\chat.txt", true},
        {"UTF-8", ToUtf8(heart), u"C:\\♥\\chat.txt", false},
        {"UTF-16", utf16, u"C:\\♥\\chat.txt", false},
    };
    for (const auto& [name, bytes, macroFile, refused] : cases) {
        SCOPED_TRACE(name);
        WriteBytes(dir_.Path("chat.ini"), bytes);
        const StartupSettings s =
            ReadStartupSettings(dir_.File("chat.ini"), kOwn, u"C:\\Tools\\chat.txt");
        EXPECT_EQ(s.macroFile, macroFile);
        EXPECT_EQ(UnsavableSettingsNotice(u"C:\\ツール♥\\chat.ini", s.encoding).has_value(),
                  refused);
        EXPECT_EQ(MacroHotkeyTitleRefusal(u"♥", s.macroHotkeys.SettingsEncoding()).has_value(),
                  refused);
    }
}

// Each position value is decided on its own over the whole 32-bit range:
// 40,000 twips is x = 2,667 px at 100 %, a second monitor on the right.
TEST_F(StartupTest, EachValueIsReadOnItsOwnWithItsDefaultWhereUnusableAndNothingIsWritten) {
    const std::u16string ini =
        u"[Position]\r\nLeft=abc\r\nTop=-40000.5\r\nWidth=2147483648\r\nHeight= 40001 \r\n"
        u"[Setting]\r\nFileName=   \r\n"
        u"[option]\r\nTopMost=yes\r\nHotkeySay= ctrl + alt + s \r\nHotkeyNext=Ctrl+Tab\r\n";
    const StartupSettings s = Start(ini);
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")), ToAnsi(ini));
    EXPECT_EQ(s.geometry, (WindowGeometry{100, -40000, 3750, 40001}));
    EXPECT_EQ(s.macroFile, u"C:\\Tools\\chat.txt") << "a blank path gives the default";
    EXPECT_FALSE(s.options.topMost) << "not a Boolean: the default";
    EXPECT_EQ(s.options.hotkeys[0], u"ctrl + alt + s") << "the profile functions trim the value";
    EXPECT_EQ(s.options.hotkeys[3], u"Ctrl+Tab") << "kept for writing back, though no hotkey";

    const StartupSettings other = Start(
        u"[Position]\r\nWidth=0\r\nHeight=-3000\r\n[Setting]\r\nFileName=D:\\表\\x.txt\r\n"
        u"[Option]\r\nTopMost=1\r\nClient=ゲーム (2)\r\nHotkeyNextClient=Ctrl+Alt+C\r\n");
    EXPECT_EQ(other.geometry, kOwn) << "a window of no size keeps its own";
    EXPECT_EQ(other.options.client, u"ゲーム (2)");
    EXPECT_EQ(ActionKeysOf(other.options)[static_cast<std::size_t>(HotkeyAction::NextClient)],
              ParseHotkey(u"Ctrl+Alt+C"));
    EXPECT_EQ(
        Start(u"[RecentFiles]\r\nFile1=D:\\表\\x.txt\r\nPlace1=2,1,回復\r\n").recentFiles.Files(),
        (std::vector<RecentFile>{{u"D:\\表\\x.txt", FilePlace{2, 1, u"回復"}}}));
    EXPECT_EQ(other.macroFile, u"D:\\表\\x.txt");
    EXPECT_TRUE(other.options.topMost);
    EXPECT_EQ(Start(u"").options, Options{});
}

// The file after a close, from the file before it (none: not there yet).
TEST_F(StartupTest, ShutDownPutsItsOwnLastAndOptionsOnlyWhereTheyAreOrChanged) {
    Options tabNext;
    tabNext.hotkeys[3] = u"Ctrl+Tab";
    Options topMost = tabNext;
    topMost.topMost = true;
    Options chosen = topMost;
    chosen.client = u"ゲーム (2)";
    chosen.hotkeys[4] = u"Ctrl+Alt+C";
    const std::string position =
        "[Position]\r\nLeft=100\r\nTop=200\r\nWidth=3750\r\nHeight=3420\r\n";
    const std::string options =
        "[Option]\r\nTopMost=1\r\nHotkeySay=\r\nHotkeySayNext=\r\n"
        "HotkeyPrevious=\r\nHotkeyNext=Ctrl+Tab\r\n";
    const std::string setting = "[Setting]\r\nFileName=a.txt\r\n";
    RecentFiles recent;
    recent.Loaded(u"b.txt");
    recent.Loaded(u"a.txt");
    recent.Leave(u"b.txt", {2, 0, u"二"});
    using Close = ShutdownSettings;
    const std::tuple<const char*, std::optional<std::string>, Close, std::string> cases[] = {
        {"foreign settings stay", "[Position]\r\nTop=1\r\nMine=yes\r\n[Other]\r\nx=1\r\n",
         Close{.geometry = {-15, 30, 3750.4f, 3420}, .macroFile = u"D:\\表\\x.txt"},
         ToAnsi(u"[Position]\r\nMine=yes\r\nLeft=-15\r\nTop=30\r\nWidth=3750\r\nHeight=3420\r\n"
                u"[Other]\r\nx=1\r\n[Setting]\r\nFileName=D:\\表\\x.txt\r\n")},
        {"a macro file that never loaded leaves the stored one",
         "[Setting]\r\nFileName=E:\\gone.txt\r\n", Close{.geometry = kOwn},
         "[Setting]\r\nFileName=E:\\gone.txt\r\n" + position},
        {"a first close writes position, then setting", std::nullopt,
         Close{.geometry = kOwn, .macroFile = u"C:\\Tools\\chat.txt"},
         position + "[Setting]\r\nFileName=C:\\Tools\\chat.txt\r\n"},
        {"options unchanged and never there are not written", setting,
         Close{.geometry = kOwn, .macroFile = u"a.txt", .options = tabNext}, setting + position},
        {"changed options are written", setting,
         Close{.geometry = kOwn, .macroFile = u"a.txt", .options = topMost, .optionsChanged = true},
         setting + position + options},
        {"the client's hotkey and the chosen client after the keys", setting,
         Close{.geometry = kOwn, .macroFile = u"a.txt", .options = chosen, .optionsChanged = true},
         setting + position + options +
             ToAnsi(u"HotkeyNextClient=Ctrl+Alt+C\r\nClient=ゲーム (2)\r\n")},
        {"once there, options are written at every close: no client's or file's hotkey and 自動 "
         "take theirs away",
         "[Option]\r\nHotkeyNextClient=Ctrl+C\r\nHotkeyPreviousFile=Ctrl+B\r\n"
         "HotkeyNextFile=Ctrl+F\r\nClient=x\r\n",
         Close{.geometry = kOwn, .macroFile = u"a.txt", .options = topMost},
         options + position + setting},
        {"recent files in use are written, most recent first", setting,
         Close{.geometry = kOwn, .macroFile = u"a.txt", .recentFiles = recent},
         setting + position +
             ToAnsi(u"[RecentFiles]\r\nFile1=a.txt\r\nFile2=b.txt\r\nPlace2=2,0,二\r\n")},
        {"recent files not in use this run are left as they are", "[RecentFiles]\r\nFile1=x\r\n",
         Close{.geometry = kOwn, .macroFile = u"a.txt"},
         "[RecentFiles]\r\nFile1=x\r\n" + position + setting},
    };
    for (const auto& [name, before, settings, after] : cases) {
        std::filesystem::remove(dir_.Path("chat.ini"));
        if (before) WriteBytes(dir_.Path("chat.ini"), *before);
        ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"), settings)) << name;
        EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")), after) << name;
    }
}

// Keys set during a run are written when set, by the close's rule, and only
// their sections: a crash before the close loses none of them.
TEST_F(StartupTest, HotkeysAreWrittenWhenSetAndOnlyTheirSections) {
    Options say;
    say.hotkeys[0] = u"Ctrl+Alt+S";
    MacroHotkeys none, f9;
    f9.Set(u"回復", u"回復", Hotkey{0, 0x78});
    const std::string before = "[Setting]\r\nFileName=a.txt\r\n";
    const std::string sayOption =
        "[Option]\r\nTopMost=0\r\nHotkeySay=Ctrl+Alt+S\r\nHotkeySayNext=\r\n"
        "HotkeyPrevious=\r\nHotkeyNext=\r\n";
    const std::tuple<const char*, std::string, bool, const MacroHotkeys&, std::string> cases[] = {
        {"a macro's key alone", before, false, f9,
         before + ToAnsi(u"[MacroHotkeys]\r\nF9=回復\r\n")},
        {"an action's key alone", before, true, none, before + sayOption},
        {"nothing changed, nothing there: nothing written", before, false, none, before},
        {"options there already are written again", "[Option]\r\nTopMost=1\r\n" + before, false,
         none, sayOption + before},
    };
    for (const auto& [name, file, optionsChanged, macros, after] : cases) {
        WriteBytes(dir_.Path("chat.ini"), file);
        ASSERT_TRUE(WriteHotkeySettings(dir_.File("chat.ini"), say, optionsChanged, macros))
            << name;
        EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")), after) << name;
    }
}

// Tabs are read only from a file that keeps them, and written with the shown
// tab's file as the macro file, the rest as it was.
TEST_F(StartupTest, TabsAreReadWhereKeptAndWrittenWithTheShownFileAsTheMacroFile) {
    EXPECT_EQ(Start(u"[Setting]\r\nFileName=a.txt\r\n").tabs, std::nullopt);
    const StartupSettings kept =
        Start(u"[Setting]\r\nFileName=b.txt\r\n[tabs]\r\nFile1=a.txt\r\nFile2=b.txt\r\n");
    ASSERT_TRUE(kept.tabs);
    EXPECT_EQ(kept.tabs->Count(), 2u);
    EXPECT_EQ(kept.tabs->ShownTab().path, u"b.txt") << "the file name's tab";
    const StartupSettings unnamed = Start(u"[Tabs]\r\nFile1=a.txt\r\nFile2=b.txt\r\nActive=2\r\n");
    ASSERT_TRUE(unnamed.tabs);
    EXPECT_EQ(unnamed.tabs->Count(), 2u) << "no file name: no default file added";
    EXPECT_EQ(unnamed.tabs->ShownTab().path, u"b.txt");

    WriteBytes(dir_.Path("chat.ini"), "[Position]\r\nLeft=1\r\n[Setting]\r\nFileName=a.txt\r\n");
    TabSet tabs(u"a.txt");
    tabs.Open(u"b.txt");
    ASSERT_TRUE(WriteTabSettings(dir_.File("chat.ini"), tabs, false));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              "[Position]\r\nLeft=1\r\n[Setting]\r\nFileName=a.txt\r\n"
              "[Tabs]\r\nFile1=a.txt\r\nFile2=b.txt\r\nActive=2\r\n")
        << "a list never loaded leaves the stored file";
    ASSERT_TRUE(WriteTabSettings(dir_.File("chat.ini"), tabs, true));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")),
              "[Position]\r\nLeft=1\r\n[Setting]\r\nFileName=b.txt\r\n"
              "[Tabs]\r\nFile1=a.txt\r\nFile2=b.txt\r\nActive=2\r\n");
}

// The palette's counts and favourites: read where either section is, and
// written at the close only when handed over.
TEST_F(StartupTest, ThePalettesCountsAreReadWhereKeptAndWrittenOnlyWhenHandedOver) {
    EXPECT_FALSE(Start(u"[Setting]\r\nFileName=a.txt\r\n").paletteKept);
    const StartupSettings pinned = Start(u"[Favorites]\r\nFile1=C:\\m.txt\r\nMacro1=1,a\r\n");
    EXPECT_TRUE(pinned.paletteKept) << "favourites alone keep them";
    EXPECT_FALSE(pinned.favourites.Empty());
    EXPECT_TRUE(pinned.usage.Empty());

    MacroUsage usage;
    const std::u16string titles[] = {u"a"};
    usage.Said({u"C:\\m.txt", 1, [&](std::size_t) { return std::u16string_view(titles[0]); }}, 1,
               19'850);
    WriteBytes(dir_.Path("chat.ini"), "[Position]\r\nLeft=1\r\n");
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"), {.geometry = kOwn}));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")).find("[Usage]"), std::string::npos);
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"),
                                      {.geometry = kOwn, .usage = usage, .favourites = {}}));
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini")).find("[Usage]\r\nFile1=C:\\m.txt\r\nMacro1=1,"),
              std::string::npos)
        << ReadBytes(dir_.Path("chat.ini"));
}

// The counts of <count> and the player's names, read where the file has them;
// the counts written at the close only once handed over.
TEST_F(StartupTest, CountersAndNamesAreReadWhereKeptAndCountsWrittenOnlyWhenHandedOver) {
    const StartupSettings none = Start(u"[Setting]\r\nFileName=a.txt\r\n");
    EXPECT_FALSE(none.countersKept);
    EXPECT_TRUE(none.variables.empty());
    const StartupSettings kept =
        Start(u"[Counters]\r\nFile1=C:\\m.txt\r\nMacro1=4,1,a\r\n[Variables]\r\nHP=120\r\n");
    EXPECT_TRUE(kept.countersKept);
    EXPECT_EQ(kept.counters.Entries(), (std::vector<CounterEntry>{{u"C:\\m.txt", 1, u"a", 4}}));
    EXPECT_EQ(kept.variables, (MacroVariables{{u"HP", u"120"}}));

    WriteBytes(dir_.Path("chat.ini"), "[Position]\r\nLeft=1\r\n");
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"), {.geometry = kOwn}));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")).find("[Counters]"), std::string::npos);
    ASSERT_TRUE(WriteShutdownSettings(dir_.File("chat.ini"),
                                      {.geometry = kOwn, .counters = kept.counters}));
    EXPECT_NE(
        ReadBytes(dir_.Path("chat.ini")).find("[Counters]\r\nFile1=C:\\m.txt\r\nMacro1=4,1,a"),
        std::string::npos)
        << ReadBytes(dir_.Path("chat.ini"));
    ASSERT_TRUE(WriteVariableSettings(dir_.File("chat.ini"), {{u"相手", u"ゆうしゃ"}}));
    EXPECT_NE(ReadBytes(dir_.Path("chat.ini")).find(ToAnsi(u"[Variables]\r\n相手=ゆうしゃ\r\n")),
              std::string::npos);
}

}  // namespace
}  // namespace kiv

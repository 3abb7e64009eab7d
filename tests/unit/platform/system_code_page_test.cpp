// A Shift_JIS macro file under each system code page a player's Windows may have: CP932; UTF-8
// (still read and written as CP932 there); 1252 (read as 1252 reads it). Each run first checks it
// got the code page it is for (KIVMACRO_EXPECT_ACP, 932 when unset). The file's bytes are written
// out here, not made by the conversions under test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "macro/macro_file_edit.h"
#include "macro/macro_form.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "settings/ini_file.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/ansi_text_win32.h"
#endif

namespace kiv {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Status = MacroFileEditor::Result::Status;

unsigned SystemCodePage() {
#ifdef _WIN32
    return GetACP();
#else
    return 932;  // the iconv conversions are CP932's
#endif
}

// 1252 reads each byte as a character of its own; 932 and UTF-8 systems read CP932.
bool ReadsCp932() {
    return SystemCodePage() != 1252;
}

// こんにちは, あいさつ, よろしく in CP932.
const std::string kHello = "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD";
const std::string kGreeting = "\x82\xA0\x82\xA2\x82\xB3\x82\xC2";
const std::string kRegards = "\x82\xE6\x82\xEB\x82\xB5\x82\xAD";
// A pair of bytes CP932 has no character for (its rows 0x85 and 0x86 are empty).
const std::string kNoCharacter = "\x85\x40";

class SystemCodePageTest : public testing::Test {
  protected:
    void SetUp() override {
        const char* expected = std::getenv("KIVMACRO_EXPECT_ACP");
        ASSERT_EQ(SystemCodePage(), expected != nullptr ? std::stoul(expected) : 932u)
            << "not the system code page this run is for";
        WriteBytes(dir_.Path("chat.txt"), before_);
    }
    std::filesystem::path File() const { return dir_.Path("chat.txt"); }
    // Replaces macro `position` of the file as it was before, as F2 does, with the message listed
    // when none is given, and checks the outcome, what the refusal names and the whole file after.
    void ExpectF2(std::size_t position, const char16_t* message, const std::u16string& title,
                  Status status, const std::u16string& mention, const std::string& after) {
        SCOPED_TRACE(ToUtf8(title));
        WriteBytes(File(), before_);
        const MacroList shown = test::LoadedMacroList(File());
        const Macro macro(message ? message : std::u16string(shown.Item(position).Message()),
                          title);
        const MacroFileEditor::Result result =
            MacroFileEditor(File().u16string())
                .Apply({MacroChange::Kind::Replace, position, macro}, shown);
        EXPECT_EQ(result.status, status) << ToUtf8(result.message);
        EXPECT_NE(result.message.find(mention), std::u16string::npos);
        EXPECT_EQ(ReadBytes(File()), after);
    }

    test::TempDir dir_;
    const std::string before_ = kHello + "\t" + kGreeting + "\r\nabc\r\n" + kNoCharacter + "x\r\n";
};

TEST_F(SystemCodePageTest, AFileWithoutAMarkIsListedAsTheSystemReadsIt) {
    const MacroList list = test::LoadedMacroList(File());
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Encoding(), TextEncoding::Ansi);
    if (ReadsCp932()) {
        EXPECT_EQ(list.Item(1), Macro(u"こんにちは", u"あいさつ"));
    } else {
        EXPECT_EQ(list.Item(1).Title(), u"\u201A\u00A0\u201A\u00A2\u201A\u00B3\u201A\u00C2");
    }
    EXPECT_EQ(list.Item(2).Title(), u"abc");
}

// Retitled, a line keeps its message's very bytes whatever the code page, and no other line
// changes. Japanese goes in as CP932 (never UTF-8 nor U+FFFD) or is refused naming the code page.
// A byte pair CP932 has no character for reads as a stand-in; written again from its text the line
// would lose it. Where the code page has a character for each byte (1252), it comes back exactly.
TEST_F(SystemCodePageTest, F2WritesBackExactlyWhatItDidNotChangeOrRefuses) {
    ExpectF2(1, nullptr, u"hello", Status::Written, u"",
             kHello + "\thello\r\nabc\r\n" + kNoCharacter + "x\r\n");
    if (ReadsCp932()) {
        ExpectF2(
            2, u"abc", u"よろしく", Status::Written, u"",
            kHello + "\t" + kGreeting + "\r\nabc\t" + kRegards + "\r\n" + kNoCharacter + "x\r\n");
        ExpectF2(3, nullptr, u"retitled", Status::Refused, u"Shift_JIS (CP932)", before_);
    } else {
        ExpectF2(2, u"abc", u"よろしく", Status::Refused, u"コードページ 1252", before_);
        ExpectF2(3, nullptr, u"retitled", Status::Written, u"",
                 kHello + "\t" + kGreeting + "\r\nabc\r\n" + kNoCharacter + "x\tretitled\r\n");
    }
}

// The macro dialog refuses what the file's code page lacks, whatever the
// system's: a UTF-8 system holds ♥, a Shift_JIS file on it does not.
TEST_F(SystemCodePageTest, TheDialogRefusesWhatTheFilesCodePageLacks) {
    const ComposedMacro composed = ComposeMacro({u"♥", {u"hello"}, u""}, TextEncoding::Ansi);
    EXPECT_FALSE(composed.macro);
    EXPECT_NE(composed.refusal.find(u"U+2665"), std::u16string::npos);
    EXPECT_NE(WhyMacroCannotBeWritten(Macro(u"♥", u"t"), TextEncoding::Ansi).find(u"U+2665"),
              std::u16string::npos);
    EXPECT_EQ(WhyMacroCannotBeWritten(Macro(u"♥", u"t"), TextEncoding::Utf8), u"");
}

// The settings file through this system's own profile functions: a Shift_JIS one keeps its
// Japanese on a UTF-8 system (where kernel32's would read U+FFFD and write that back), and what
// the tool did not set keeps its bytes under every code page; a new one is Shift_JIS there too.
TEST_F(SystemCodePageTest, TheSettingsFileIsReadAndWrittenInItsOwnEncoding) {
    const std::string kept = "[Setting]\r\nFileName=C:\\" + kGreeting + "\\chat.txt\r\n" +
                             "[MacroHotkeys]\r\nF7=" + kHello + "\r\n";
    WriteBytes(dir_.Path("chat.ini"), kept);
    IniFile store;
    ASSERT_TRUE(store.Load(dir_.File("chat.ini")));
    EXPECT_EQ(store.Encoding(), TextEncoding::Ansi);
    store.SetNowSection(u"Setting");
    if (ReadsCp932()) {
        EXPECT_EQ(store.Data(u"FileName"), u"C:\\あいさつ\\chat.txt");
    }
    store.SetNowSection(u"Position");
    store.SetData(u"Left", u"10");
    ASSERT_TRUE(store.Save(u""));
    EXPECT_EQ(ReadBytes(dir_.Path("chat.ini")), kept + "[Position]\r\nLeft=10\r\n");

    IniFile made;
    ASSERT_TRUE(made.Load(dir_.File("new.ini")));
    made.SetNowSection(u"Setting");
    made.SetData(u"FileName", u"C:\\よろしく");
    ASSERT_TRUE(made.Save(u""));
    if (ReadsCp932()) {
        EXPECT_EQ(ReadBytes(dir_.Path("new.ini")),
                  "[Setting]\r\nFileName=C:\\" + kRegards + "\r\n");
    }
}

// Paths and names the settings file keeps must come back exactly, in the
// system's code page itself: on a UTF-8 system every character can.
TEST_F(SystemCodePageTest, ANameIsKeptExactlyWhereTheSystemsCodePageHoldsIt) {
    EXPECT_EQ(ToAnsiExactly(u"C:\\Tools\\chat.ini"), std::string("C:\\Tools\\chat.ini"));
    const std::optional<std::string> japanese = ToAnsiExactly(u"回復依頼");
    EXPECT_EQ(japanese.has_value(), SystemCodePage() != 1252);
    EXPECT_EQ(ToAnsiExactly(u"♥").has_value(), SystemCodePage() == 65001)
        << "CP932 lacks it, UTF-8 holds it";
#ifdef _WIN32
    // Windows refuses any other flag or a default-character report for
    // UTF-8 (and every name would then seem to have no exact form); Wine
    // takes them, so the rule is checked here as the calls get it.
    const ExactConversion conversion = ExactConversionFor(CP_ACP);
    const bool utf8 = SystemCodePage() == 65001;
    EXPECT_EQ(conversion.flags, utf8 ? DWORD{WC_ERR_INVALID_CHARS} : DWORD{WC_NO_BEST_FIT_CHARS});
    EXPECT_EQ(conversion.reportsDefault, !utf8);
    EXPECT_EQ(ExactConversionFor(932).flags, DWORD{WC_NO_BEST_FIT_CHARS}) << "the file code page";
#endif
}

}  // namespace
}  // namespace kiv

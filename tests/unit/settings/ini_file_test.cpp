// The settings store over this system's profile functions (kernel32's on Windows), with real files.

#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Names = std::vector<std::u16string>;

// The value of `key` in `section`, which becomes the current one.
std::u16string At(IniFile& store, std::u16string_view section, std::u16string_view key) {
    store.SetNowSection(section);
    return store.Data(key);
}

class IniFileTest : public testing::Test {
  protected:
    // Loads `contents` (UTF-16 text, written as CP932) into `store_`.
    void LoadText(std::u16string_view contents) {
        WriteBytes(dir_.Path("s.ini"), ToAnsi(contents));
        ASSERT_TRUE(store_.Load(Path()));
    }
    std::u16string Path() const { return dir_.File("s.ini"); }
    std::string FileText() const { return ReadBytes(dir_.Path("s.ini")); }

    TempDir dir_;
    IniFile store_;
};

TEST_F(IniFileTest, KeysKeepTheirLaterLineAndTheirOwnCaseAndOnlyListedOnesAreRemoved) {
    LoadText(u"[S]\r\nA=1\r\nb=2\r\na=3\r\nx=y=z\r\nNoEquals\r\n");
    EXPECT_EQ(At(store_, u"S", u"A"), u"3");
    EXPECT_EQ(store_.Keys(), (Names{u"b", u"a", u"x"}));
    ASSERT_TRUE(store_.Save(u"S"));
    EXPECT_EQ(FileText(), "[S]\r\nb=2\r\na=3\r\nx=y=z\r\n");
    store_.DeleteData(u"missing");
    store_.DeleteData(u"X");
    EXPECT_EQ(store_.Keys(), (Names{u"b", u"a"}));
    store_.Clear();
    EXPECT_TRUE(store_.Keys().empty());
    EXPECT_EQ(store_.Data(u"noequals"), u"NoEquals")
        << "a line without = is its own value, unlisted";
}

// A line that begins with "=" stops neither the loading nor the selection.
TEST_F(IniFileTest, SectionsAreFoundWithoutRegardToCaseAndMadeWhereMissing) {
    LoadText(
        u"[Position]\r\n=orphan\r\nLeft=1\r\n[position]\r\nLeft=2\r\n[Other]\r\nt=1\r\n[  ]\r\n");
    EXPECT_EQ(store_.Sections(), (Names{u"Position", u"Other"}));
    EXPECT_EQ(At(store_, u"POSITION", u"left"), u"1");
    EXPECT_EQ(store_.NowSection(), u"Position");
    EXPECT_TRUE(store_.IsExist());

    store_.SetNowSection(u"New");
    EXPECT_FALSE(store_.IsExist());
    EXPECT_EQ(At(store_, u"Other", u"t"), u"1");
    store_.SetNowSection(u"new");
    EXPECT_EQ(store_.NowSection(), u"New");
    EXPECT_TRUE(store_.IsExist()) << "created earlier in this store";
    ASSERT_TRUE(store_.Save(u"Saved"));
    EXPECT_EQ(store_.NowSection(), u"Saved");
    EXPECT_TRUE(store_.IsExist());
    EXPECT_EQ(store_.Sections(), (Names{u"Position", u"Other", u"New", u"Saved"}));
}

TEST_F(IniFileTest, InitDataReadsTypedValuesOrFallsBack) {
    LoadText(
        u"[P]\r\nLeft=1200\r\nNeg=-1200\r\nHalf=12.5\r\nOdd=13.5\r\nBig=32768\r\n"
        u"Word=abc\r\nBlank=   \r\nF=0.5\r\nB=FALSE\r\n");
    store_.SetNowSection(u"P");
    // The profile functions trim what they read; a value set in the store is kept as it is.
    store_.SetData(u"Path", u"  C:\\a.txt  ");
    const SettingValue fallback = 1.5f;
    const std::tuple<const char16_t*, int, SettingValue> cases[] = {
        {u"Left", 1, 1200},      {u"Neg", 1, -1200},        {u"Half", 1, 12},
        {u"Odd", 1, 14},         {u"Big", 1, fallback},     {u"Word", 1, fallback},
        {u"Blank", 1, fallback}, {u"Missing", 1, fallback}, {u"F", 2, 0.5f},
        {u"B", 3, false},        {u"Blank", 0, fallback},   {u"Path", 0, u"  C:\\a.txt  "},
        {u"Missing", 4, u""},    {u"Missing", -1, u""}};
    for (const auto& [key, type, read] : cases) {
        EXPECT_EQ(store_.InitData(key, type, fallback), read) << ToUtf8(key) << " as " << type;
    }
    ASSERT_TRUE(store_.Save(u"P"));
    EXPECT_EQ(FileText().find("Missing"), std::string::npos) << "asking never adds a key";
}

TEST_F(IniFileTest, UsingTheStoreOutOfOrderIsAnErrorNotACrashAndAMissingFileLoadsEmpty) {
    EXPECT_EQ(store_.Data(u"x"), u"");
    EXPECT_EQ(store_.InitData(u"x", 1, SettingValue(7)), SettingValue(7));
    EXPECT_THROW(store_.SetNowSection(u"S"), IniFileUsageError);
    EXPECT_THROW(store_.Sections(), IniFileUsageError);
    EXPECT_THROW(store_.Save(u""), IniFileUsageError);
    EXPECT_THROW(store_.SetData(u"x", u"1"), IniFileUsageError);

    ASSERT_TRUE(store_.Load(Path()));
    EXPECT_FALSE(store_.IsExist());
    store_.DeleteData(u"x");
    EXPECT_THROW(store_.Keys(), IniFileUsageError);
    EXPECT_THROW(store_.Clear(), IniFileUsageError);
    EXPECT_THROW(store_.SetData(u"x", u"1"), IniFileUsageError);
    EXPECT_TRUE(store_.Sections().empty()) << "a failed set changes nothing";
    EXPECT_FALSE(store_.Save(u"")) << "nothing to write";
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("s.ini")));
}

// 150 sections' names and a value of 1 MiB overflow the first buffers the store reads them into.
TEST_F(IniFileTest, BadAndLargeFilesLoadWithoutLosingTheGoodSections) {
    std::string bytes;
    for (int s = 0; s < 150; ++s) bytes += "[Section" + std::to_string(s) + "]\r\n";
    bytes += "[Good]\r\nk=v\r\n[Bad]\r\n";
    for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 7919) % 256);
    bytes += "\r\nlong=" + std::string(1 << 20, 'x') + "\r\n";
    bytes += "\x81\r\n\xff\xfe=\x80\r\n[Tail]\r\nt=1\r\n[Odd\xff]\r\nw=\xa0\r\n";
    WriteBytes(dir_.Path("s.ini"), bytes);
    ASSERT_TRUE(store_.Load(Path()));
    EXPECT_EQ(At(store_, u"Good", u"k"), u"v");
    EXPECT_EQ(At(store_, u"Tail", u"t"), u"1");
    store_.SetData(u"t", u"2");
    ASSERT_TRUE(store_.Save(u"Tail"));

    IniFile again;
    ASSERT_TRUE(again.Load(Path()));
    EXPECT_EQ(At(again, u"Good", u"k"), u"v");
    EXPECT_EQ(At(again, u"Bad", u"long"), std::u16string(1 << 20, u'x'));
    EXPECT_EQ(At(again, u"Tail", u"t"), u"2");
    // Bytes that only Windows' own table maps must come back as they were.
    again.SetNowSection(u"Odd\uF8F3");
    again.SetData(u"x", u"1");
    ASSERT_TRUE(again.Save(u"Odd\uF8F3"));
    EXPECT_NE(FileText().find("[Odd\xff]\r\nw=\xa0\r\nx=1\r\n"), std::string::npos);
}

// ﾃｽ in CP932 is C3 BD, which UTF-8 reads as ý: a file of nothing else that is not ASCII would
// read back as other text, so it is not written (by kernel32's functions either).
TEST_F(IniFileTest, AFileInTheCodePageThatWouldReadAsUtf8IsLeftAsItWas) {
    const std::u16string before = u"[Setting]\r\nFileName=C:\\a.txt\r\n";
    LoadText(before);
    store_.SetNowSection(u"Setting");
    store_.SetData(u"FileName", u"C:\\ﾃｽ\\a.txt");
    EXPECT_FALSE(store_.Save(u"Setting"));
    EXPECT_EQ(FileText(), ToAnsi(before));
    store_.SetData(u"FileName", u"C:\\ﾃｽﾄ\\a.txt");
    EXPECT_TRUE(store_.Save(u"Setting")) << "ﾄ is no UTF-8 after them";
}

// Profile functions that fail where told, to see what the store makes of it.
class FailingProfile final : public ProfileSections {
  public:
    bool unusableNames = false;
    std::u16string failWritesOf;
    std::vector<std::u16string> written;

    std::optional<std::vector<std::u16string>> SectionNames(const std::u16string&) override {
        if (unusableNames) return std::nullopt;
        return std::vector<std::u16string>{u"A", u"B", u"C"};
    }
    std::vector<std::u16string> SectionLines(std::u16string_view, const std::u16string&) override {
        return {};
    }
    bool WriteSection(std::u16string_view section, const std::vector<std::u16string>&,
                      const std::u16string&) override {
        written.emplace_back(section);
        return failWritesOf != section;
    }
    TextEncoding EncodingOf(const std::u16string&) override { return TextEncoding::Ansi; }
};

TEST(IniFileFailures, AnUnusableNameListFailsTheLoadAndSaveStopsAtTheFirstSectionThatFails) {
    FailingProfile profile;
    profile.unusableNames = true;
    IniFile unusable(profile);
    EXPECT_FALSE(unusable.Load(u"x.ini"));
    EXPECT_TRUE(unusable.Sections().empty());

    profile.unusableNames = false;
    profile.failWritesOf = u"B";
    IniFile store(profile);
    ASSERT_TRUE(store.Load(u"x.ini"));
    EXPECT_FALSE(store.Save(u""));
    EXPECT_EQ(profile.written, (Names{u"A", u"B"}));
    EXPECT_EQ(store.NowSection(), u"B");
}

}  // namespace
}  // namespace kiv

// The settings store over this system's profile functions (kernel32's on Windows), with real files.

#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/macro_hotkeys.h"
#include "platform/ansi_text.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Names = std::vector<std::u16string>;

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

TEST_F(IniFileTest, MissingFileLoadsAsAnEmptyStore) {
    ASSERT_TRUE(store_.Load(Path()));
    EXPECT_TRUE(store_.Sections().empty());
    EXPECT_FALSE(store_.IsExist());
    EXPECT_FALSE(store_.Save(u"")) << "nothing to write";
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("s.ini")));
}

TEST_F(IniFileTest, KeysKeepTheirLaterLineAndTheirOwnCase) {
    LoadText(u"[S]\r\nA=1\r\nb=2\r\na=3\r\nx=y=z\r\nNoEquals\r\n");
    store_.SetNowSection(u"S");
    EXPECT_EQ(store_.Keys(), (Names{u"b", u"a", u"x"}));
    EXPECT_EQ(store_.Data(u"A"), u"3");
    EXPECT_EQ(store_.Data(u"x"), u"y=z");
    EXPECT_EQ(store_.Data(u"noequals"), u"NoEquals") << "a line without = is its own value";
    EXPECT_EQ(store_.Data(u"missing"), u"");
    ASSERT_TRUE(store_.Save(u"S"));
    EXPECT_EQ(FileText(), "[S]\r\nb=2\r\na=3\r\nx=y=z\r\n");
}

// A line that begins with "=" stops neither the loading nor the selection.
TEST_F(IniFileTest, SectionsAreFoundWithoutRegardToCaseAndMadeWhereMissing) {
    LoadText(
        u"[Position]\r\n=orphan\r\nLeft=1\r\n[position]\r\nLeft=2\r\n[Other]\r\nt=1\r\n[  ]\r\n");
    EXPECT_EQ(store_.Sections(), (Names{u"Position", u"Other"}));

    store_.SetNowSection(u"POSITION");
    EXPECT_EQ(store_.NowSection(), u"Position");
    EXPECT_TRUE(store_.IsExist());
    EXPECT_EQ(store_.Data(u"left"), u"1");

    store_.SetNowSection(u"New");
    EXPECT_FALSE(store_.IsExist());
    store_.SetNowSection(u"Other");
    EXPECT_EQ(store_.Data(u"t"), u"1");
    store_.SetNowSection(u"new");
    EXPECT_EQ(store_.NowSection(), u"New");
    EXPECT_TRUE(store_.IsExist()) << "created earlier in this store";
    ASSERT_TRUE(store_.Save(u"Saved"));
    EXPECT_EQ(store_.NowSection(), u"Saved");
    EXPECT_TRUE(store_.IsExist());
    EXPECT_EQ(store_.Sections(), (Names{u"Position", u"Other", u"New", u"Saved"}));
}

TEST_F(IniFileTest, LargeSectionsAndNameListsAreReadWhole) {
    std::string text;
    for (int s = 0; s < 150; ++s) text += "[Section" + std::to_string(s) + "]\r\n";
    text += "[Big]\r\n";
    for (int k = 0; k < 300; ++k) {
        text += "key" + std::to_string(k) + "=value-" + std::to_string(k) + "\r\n";
    }
    WriteBytes(dir_.Path("s.ini"), text);
    ASSERT_TRUE(store_.Load(Path()));
    EXPECT_EQ(store_.Sections().size(), 151u);
    store_.SetNowSection(u"Big");
    EXPECT_EQ(store_.Keys().size(), 300u);
    EXPECT_EQ(store_.Data(u"key299"), u"value-299");
}

TEST_F(IniFileTest, ClearAndDeleteRemoveOnlyListedKeys) {
    LoadText(u"[S]\r\na=1\r\nbare\r\nb=2\r\n");
    store_.SetNowSection(u"S");
    store_.DeleteData(u"missing");
    store_.DeleteData(u"A");
    EXPECT_EQ(store_.Keys(), Names{u"b"});
    store_.Clear();
    EXPECT_TRUE(store_.Keys().empty());
    EXPECT_EQ(store_.Data(u"bare"), u"bare");
}

TEST_F(IniFileTest, InitDataReadsTypedValuesOrFallsBack) {
    LoadText(
        u"[P]\r\nLeft=1200\r\nNeg=-1200\r\nHalf=12.5\r\nOdd=13.5\r\nBig=32768\r\n"
        u"Word=abc\r\nBlank=   \r\nF=0.5\r\nB=FALSE\r\n");
    store_.SetNowSection(u"P");
    const SettingValue fallback = 1.5f;
    EXPECT_EQ(store_.InitData(u"Left", 1, fallback), SettingValue(1200));
    EXPECT_EQ(store_.InitData(u"Neg", 1, fallback), SettingValue(-1200));
    EXPECT_EQ(store_.InitData(u"Half", 1, fallback), SettingValue(12));
    EXPECT_EQ(store_.InitData(u"Odd", 1, fallback), SettingValue(14));
    for (const char16_t* key : {u"Big", u"Word", u"Blank", u"Missing"}) {
        EXPECT_EQ(store_.InitData(key, 1, fallback), fallback);
    }
    EXPECT_EQ(store_.InitData(u"F", 2, fallback), SettingValue(0.5f));
    EXPECT_EQ(store_.InitData(u"B", 3, fallback), SettingValue(false));
    EXPECT_EQ(store_.InitData(u"Blank", 0, SettingValue(u"d")), SettingValue(u"d"));
    // The profile functions trim what they read; a value set in the store is kept as it is.
    store_.SetData(u"Path", u"  C:\\a.txt  ");
    EXPECT_EQ(store_.InitData(u"Path", 0, SettingValue(u"d")), SettingValue(u"  C:\\a.txt  "));
    EXPECT_EQ(store_.InitData(u"Missing", 4, fallback), SettingValue(u""));
    EXPECT_EQ(store_.InitData(u"Missing", -1, fallback), SettingValue(u""));

    ASSERT_TRUE(store_.Save(u"P"));
    EXPECT_EQ(FileText().find("Missing"), std::string::npos) << "asking never adds a key";
}

TEST_F(IniFileTest, UsingTheStoreOutOfOrderIsAnErrorNotACrash) {
    EXPECT_EQ(store_.Data(u"x"), u"");
    EXPECT_EQ(store_.InitData(u"x", 1, SettingValue(7)), SettingValue(7));
    EXPECT_THROW(store_.SetNowSection(u"S"), IniFileUsageError);
    EXPECT_THROW(store_.Sections(), IniFileUsageError);
    EXPECT_THROW(store_.Save(u""), IniFileUsageError);
    EXPECT_THROW(store_.SetData(u"x", u"1"), IniFileUsageError);

    ASSERT_TRUE(store_.Load(Path()));
    store_.DeleteData(u"x");
    EXPECT_THROW(store_.Keys(), IniFileUsageError);
    EXPECT_THROW(store_.Clear(), IniFileUsageError);
    EXPECT_THROW(store_.SetData(u"x", u"1"), IniFileUsageError);
    EXPECT_TRUE(store_.Sections().empty()) << "a failed set changes nothing";
}

TEST_F(IniFileTest, BadFilesLoadWithoutLosingTheGoodSections) {
    std::string bytes = "[Good]\r\nk=v\r\n[Bad]\r\n";
    for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 7919) % 256);
    bytes += "\r\nlong=" + std::string(1 << 20, 'x') + "\r\n";
    bytes += "\x81\r\n\xff\xfe=\x80\r\n[Tail]\r\nt=1\r\n[Odd\xff]\r\nw=\xa0\r\n";
    WriteBytes(dir_.Path("s.ini"), bytes);
    ASSERT_TRUE(store_.Load(Path()));
    store_.SetNowSection(u"Good");
    EXPECT_EQ(store_.Data(u"k"), u"v");
    store_.SetNowSection(u"Tail");
    EXPECT_EQ(store_.Data(u"t"), u"1");
    store_.SetData(u"t", u"2");
    ASSERT_TRUE(store_.Save(u"Tail"));

    IniFile again;
    ASSERT_TRUE(again.Load(Path()));
    again.SetNowSection(u"Good");
    EXPECT_EQ(again.Data(u"k"), u"v");
    again.SetNowSection(u"Bad");
    EXPECT_EQ(again.Data(u"long").size(), 1u << 20);
    again.SetNowSection(u"Tail");
    EXPECT_EQ(again.Data(u"t"), u"2");

    // Bytes that only Windows' own table maps must come back as they were.
    again.SetNowSection(u"Odd\uF8F3");
    again.SetData(u"x", u"1");
    ASSERT_TRUE(again.Save(u"Odd\uF8F3"));
    EXPECT_NE(FileText().find("[Odd\xff]\r\nw=\xa0\r\nx=1\r\n"), std::string::npos);
}

// Profile functions that fail where told, to see what the store makes of it.
class FailingProfile final : public ProfileSections {
  public:
    std::uint32_t namesLength = 0;
    std::string failWritesOf;
    std::vector<std::string> written;

    std::uint32_t GetSectionNames(char* buffer, std::uint32_t size, const char*) override {
        if (namesLength == 1) {
            buffer[0] = '\0';
            return 1;
        }
        const std::string names("A\0B\0C\0", 6);
        std::copy(names.begin(), names.end(), buffer);
        buffer[6] = '\0';
        return size > 8 ? 6 : 0;
    }
    std::uint32_t GetSection(const char*, char* buffer, std::uint32_t, const char*) override {
        buffer[0] = buffer[1] = '\0';
        return 0;
    }
    bool WriteSection(const char* section, const char*, const char*) override {
        written.emplace_back(section);
        return failWritesOf != section;
    }
};

TEST(IniFileFailures, AnUnusableNameListFailsTheLoadAndSaveStopsAtTheFirstSectionThatFails) {
    FailingProfile profile;
    profile.namesLength = 1;
    IniFile unusable(profile);
    EXPECT_FALSE(unusable.Load(u"x.ini"));
    EXPECT_TRUE(unusable.Sections().empty());

    profile.namesLength = 0;
    profile.failWritesOf = "B";
    IniFile store(profile);
    ASSERT_TRUE(store.Load(u"x.ini"));
    EXPECT_FALSE(store.Save(u""));
    EXPECT_EQ(profile.written, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(store.NowSection(), u"B");
}

}  // namespace
}  // namespace kiv

// One contract, every implementation: the portable profile-section functions everywhere, and on
// Windows also kernel32's, which the portable ones follow.

#include "platform/profile_sections.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/utf8.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "platform/profile_sections_win32.h"
#endif

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Items = std::vector<std::u16string>;

struct Implementation {
    const char* name;
    ProfileSections& (*get)();
};

PortableProfileSections portable;

// In CP932 with CR LF, one line per section; ゼ, 表, ゾ and ー end in the
// bytes 0x5B, 0x5C, 0x5D: a parser of raw bytes would cut the name short.
const std::string kUsersFile = ToAnsi(
    u"top=before any section\r\n"
    u"[Position]\r\n; a comment=with equals\r\nLeft=1200\r\n  Top = 300  \r\n\r\nWidth=1=2\r\n"
    u"NoEquals\r\n=value only\r\n=again\r\nA=1\r\na=3\r\n"
    u"[ Spaced ]\r\nk=v\n\r\n; note\r\n"
    u"[ゼ表ゾー]\r\n名前=値\r\n"
    u"[position]\r\nDup=1\r\n");

class ProfileContract : public testing::TestWithParam<Implementation> {
  protected:
    ProfileSections& profile() { return GetParam().get(); }
    std::u16string File(const std::string& name) { return dir_.File(name); }

    Items Names(const std::u16string& file) { return profile().SectionNames(file).value(); }
    Items Lines(std::u16string_view section, const std::u16string& file) {
        return profile().SectionLines(section, file);
    }
    bool Write(std::u16string_view section, const Items& lines, const std::u16string& file) {
        return profile().WriteSection(section, lines, file);
    }

    TempDir dir_;
    const std::u16string ini_ = File("s.ini");
};

TEST_P(ProfileContract, ReadsTheLinesUsersWriteAndWritingReplacesOneSectionOnly) {
    WriteBytes(dir_.Path("s.ini"), kUsersFile);
    EXPECT_EQ(Names(ini_), (Items{u"Position", u"Spaced", u"ゼ表ゾー", u"position"}));
    const Items position{u"Left=1200",   u"Top=300", u"Width=1=2", u"NoEquals",
                         u"=value only", u"A=1",     u"a=3"};
    EXPECT_EQ(Lines(u"Position", ini_), position);
    EXPECT_EQ(Lines(u"POSITION", ini_), position) << "the first of the names, letter case ignored";
    EXPECT_EQ(Lines(u"Spaced", ini_), Items{u"k=v"});
    EXPECT_EQ(Lines(u"ゼ表ゾー", ini_), Items{u"名前=値"});
    EXPECT_EQ(Lines(u"Nowhere", ini_), Items{});

    ASSERT_TRUE(Write(u"position", {u"Left=5", u"New=6", u"junk"}, ini_));
    EXPECT_EQ(ReadBytes(dir_.Path("s.ini")),
              ToAnsi(u"top=before any section\r\n[Position]\r\nLeft=5\r\nNew=6\r\n"
                     u"[Spaced]\r\nk=v\r\n; note\r\n[ゼ表ゾー]\r\n名前=値\r\n[position]\r\n"));
    EXPECT_EQ(Lines(u"Position", ini_), (Items{u"Left=5", u"New=6"}));
}

// Only ASCII white space (and the old end-of-file mark 0x1A) is trimmed, not an ideographic one.
TEST_P(ProfileContract, OnlyAsciiSpacesAreTrimmed) {
    WriteBytes(dir_.Path("s.ini"), ToAnsi(u"[\u3000名前\t]\r\n\u3000キー\u3000="
                                          u"\t値\u3000\r\n\x1a\r\n[ b ]\r\n k \v= \f v \x1a\r\n"));
    EXPECT_EQ(Names(ini_), (Items{u"\u3000名前", u"b"}));
    EXPECT_EQ(Lines(u"\u3000名前", ini_), Items{u"\u3000キー\u3000=値\u3000"});
    EXPECT_EQ(Lines(u"b", ini_), Items{u"k=v"});
}

// As kernel32 does: "[ ]" is read as a section no name can reach, and a write
// of any section leaves its lines to the section before it.
TEST_P(ProfileContract, WritingNoKeysEmptiesASectionButAddsNoneAndANamelessOneLosesItsHeader) {
    WriteBytes(dir_.Path("s.ini"), "[A]\r\na=1\r\n[ ]\r\nhidden=1\r\n[B]\r\nb=2\r\n");
    EXPECT_EQ(Lines(u"A", ini_), Items{u"a=1"});
    ASSERT_TRUE(Write(u"a", {u"a=2"}, ini_));
    EXPECT_EQ(Lines(u"A", ini_), (Items{u"a=2", u"hidden=1"}));
    EXPECT_EQ(Lines(u"B", ini_), Items{u"b=2"});
    ASSERT_TRUE(Write(u"C", {}, ini_));
    ASSERT_TRUE(Write(u"b", {}, ini_));
    EXPECT_EQ(ReadBytes(dir_.Path("s.ini")), "[A]\r\na=2\r\nhidden=1\r\n[B]\r\n");
}

TEST_P(ProfileContract, AMissingFileHasNoSectionsAndWritingCreatesItButNoFolder) {
    const std::u16string file = File("new.ini");
    EXPECT_EQ(Names(file), Items{});
    EXPECT_EQ(Lines(u"Position", file), Items{});
    ASSERT_TRUE(Write(u"C", {}, file));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.ini"))) << "nothing to write";

    ASSERT_TRUE(Write(u"Position", {u"Left=1", u"Top=2"}, file));
    ASSERT_TRUE(Write(u"Setting", {u"FileName=C:\\表\\a.txt"}, file));
    EXPECT_EQ(ReadBytes(dir_.Path("new.ini")),
              "[Position]\r\nLeft=1\r\nTop=2\r\n[Setting]\r\nFileName=C:\\\x95\\\\a.txt\r\n");
    EXPECT_EQ(Names(file), (Items{u"Position", u"Setting"}));
    std::filesystem::create_directory(dir_.Path("folder.ini"));
    EXPECT_FALSE(Write(u"Position", {u"Left=5"}, File("folder.ini")));
    EXPECT_FALSE(Write(u"Position", {u"Left=5"}, File("no-such-dir/s.ini")));
}

TEST_P(ProfileContract, AReadOnlyFileStaysAsItWas) {
    const auto path = dir_.Path("s.ini");
    WriteBytes(path, kUsersFile);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    if (std::string(GetParam().name) == "kernel32" && std::ofstream(path, std::ios::app)) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        GTEST_SKIP() << "this system lets us write read-only files (an administrator under Wine)";
    }
    EXPECT_FALSE(Write(u"Position", {u"Left=5"}, ini_));
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(ReadBytes(path), kUsersFile);
}

// Each file in its own encoding: read as it is, and written back so, its
// mark kept; a line whose bytes its text would not give back (a code CP932
// has twice, bytes no character stands for) keeps them while untouched.
TEST(PortableProfile, ReadsAndWritesEachFileInItsOwnEncoding) {
    const auto utf16 = [](std::u16string_view text, bool big) {
        std::string bytes(big ? "\xFE\xFF" : "\xFF\xFE");
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8);
            const char low = static_cast<char>(unit & 0xFF);
            bytes += big ? high : low;
            bytes += big ? low : high;
        }
        return bytes;
    };
    const std::u16string before =
        u"[Setting]\r\nFileName=C:\\表\\😀.txt\r\n[Position]\r\nLeft=1\r\n";
    const std::u16string after = u"[Setting]\r\nFileName=C:\\表\\😀.txt\r\n[Position]\r\nLeft=2\r\n";
    const std::string cp932Kept = "[Other\x87\x90]\r\nnear=\x87\x90\r\nnone=\x85\x40\r\n";
    const struct {
        const char* name;
        std::string before;
        std::string after;
        TextEncoding encoding;
    } files[] = {
        {"UTF-8", ToUtf8(before), ToUtf8(after), TextEncoding::Utf8},
        {"UTF-8 marked", "\xEF\xBB\xBF" + ToUtf8(before), "\xEF\xBB\xBF" + ToUtf8(after),
         TextEncoding::Utf8},
        {"UTF-16 LE", utf16(before, false), utf16(after, false), TextEncoding::Utf16Le},
        {"UTF-16 BE", utf16(before, true), utf16(after, true), TextEncoding::Utf16Be},
        {"CP932", cp932Kept + "[Position]\r\nLeft=1\r\n", cp932Kept + "[Position]\r\nLeft=2\r\n",
         TextEncoding::Ansi},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        TempDir dir;
        WriteBytes(dir.Path("s.ini"), file.before);
        PortableProfileSections profile;
        const std::u16string ini = dir.File("s.ini");
        EXPECT_EQ(profile.EncodingOf(ini), file.encoding);
        if (file.encoding != TextEncoding::Ansi) {
            EXPECT_EQ(profile.SectionLines(u"setting", ini), Items{u"FileName=C:\\表\\😀.txt"});
        }
        // Every section, as the store writes them at the close, each line as it read it.
        const Items sections = profile.SectionNames(ini).value();
        for (const std::u16string& section : sections) {
            const Items lines =
                section == u"Position" ? Items{u"Left=2"} : profile.SectionLines(section, ini);
            ASSERT_TRUE(profile.WriteSection(section, lines, ini));
        }
        EXPECT_EQ(ReadBytes(dir.Path("s.ini")), file.after);
    }
}

// A line keeps the bytes it was read from only while the tool writes back what it read: a key
// given another value is written as it now is. ≒ is 87 90 in the file, 81 E0 from its text.
TEST(PortableProfile, ALineKeepsItsBytesOnlyWhileItsValueIsUnchanged) {
    TempDir dir;
    WriteBytes(dir.Path("s.ini"), "[MacroHotkeys]\r\nF7=\x87\x90\r\nF8=\x87\x90\r\n");
    PortableProfileSections profile;
    ASSERT_TRUE(profile.WriteSection(u"MacroHotkeys", {u"F7=あ", u"F8=≒"}, dir.File("s.ini")));
    EXPECT_EQ(ReadBytes(dir.Path("s.ini")), "[MacroHotkeys]\r\nF7=\x82\xA0\r\nF8=\x87\x90\r\n");
}

// A UTF-8 file left with nothing but ASCII reads back as the same text: its write is no write
// that would read as other text, and goes through.
TEST(PortableProfile, AUtf8FileLeftWithOnlyAsciiIsWritten) {
    TempDir dir;
    WriteBytes(dir.Path("s.ini"), ToUtf8(u"[RecentFiles]\r\nFile1=C:\\表.txt\r\n"));
    PortableProfileSections profile;
    ASSERT_TRUE(profile.WriteSection(u"RecentFiles", {u"File1=C:\\a.txt"}, dir.File("s.ini")));
    EXPECT_EQ(ReadBytes(dir.Path("s.ini")), "[RecentFiles]\r\nFile1=C:\\a.txt\r\n");
}

// A file that is there but would not read (another program holds it) is never replaced by the
// one section the tool knows of it.
TEST(PortableProfile, AFileThatWouldNotReadIsNeverWrittenOver) {
    TempDir dir;
    WriteBytes(dir.Path("s.ini"), kUsersFile);
    SetBeforeReadHook([](const std::u16string& path) {
        throw FileError(path, FileError::Step::Read, u"ロック");
    });
    PortableProfileSections profile;
    EXPECT_FALSE(profile.WriteSection(u"Position", {u"Left=5"}, dir.File("s.ini")));
    SetBeforeReadHook(nullptr);
    EXPECT_EQ(ReadBytes(dir.Path("s.ini")), kUsersFile);
}

const Implementation kImplementations[] = {
#ifdef _WIN32
    {"kernel32", Kernel32Profile},
#endif
    {"portable", []() -> ProfileSections& { return portable; }},
};
INSTANTIATE_TEST_SUITE_P(Implementations, ProfileContract, testing::ValuesIn(kImplementations),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace kiv

// One contract, every implementation: the portable profile-section functions everywhere, and on
// Windows also kernel32's, which the portable ones follow.

#include "platform/profile_sections.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ansi_text.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using namespace std::string_literals;  // "...\0\0"s keeps its NULs
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Items = std::vector<std::u16string>;

struct Implementation {
    const char* name;
    ProfileSections& (*get)();
};

PortableProfileSections portable;

Items Split(const std::vector<char>& buffer, std::uint32_t length) {
    Items items;
    std::string_view text(buffer.data(), length);
    while (!text.empty()) {
        const std::size_t end = text.find('\0');
        items.push_back(FromAnsi(text.substr(0, end)));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return items;
}

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
    std::string File(const std::string& name) { return ToAnsi(dir_.File(name)); }

    Items Names(const std::string& file) {
        std::vector<char> buffer(65536, '*');
        return Split(buffer, profile().GetSectionNames(buffer.data(), 65536, file.c_str()));
    }
    Items Lines(std::u16string_view section, const std::string& file) {
        std::vector<char> buffer(65536, '*');
        const std::string name = ToAnsi(section);
        return Split(buffer,
                     profile().GetSection(name.c_str(), buffer.data(), 65536, file.c_str()));
    }
    bool Write(std::u16string_view section, const std::string& text, const std::string& file) {
        const std::string name = ToAnsi(section);
        return profile().WriteSection(name.c_str(), text.c_str(), file.c_str());
    }

    TempDir dir_;
    const std::string ini_ = File("s.ini");
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

    // A short buffer gets what fits, double-NUL ended, and its size minus two.
    std::vector<char> buffer(12, '*');
    EXPECT_EQ(profile().GetSectionNames(buffer.data(), 12, ini_.c_str()), 10u);
    EXPECT_EQ(buffer[10], '\0');
    EXPECT_EQ(profile().GetSection("Position", buffer.data(), 12, ini_.c_str()), 10u);
    EXPECT_EQ(std::string(buffer.data(), 10), "Left=1200\0"s);
    EXPECT_EQ(buffer[11], '\0');

    ASSERT_TRUE(Write(u"position", "Left=5\0New=6\0junk\0\0\0"s, ini_));
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
    ASSERT_TRUE(Write(u"a", "a=2\0\0"s, ini_));
    EXPECT_EQ(Lines(u"A", ini_), (Items{u"a=2", u"hidden=1"}));
    EXPECT_EQ(Lines(u"B", ini_), Items{u"b=2"});
    ASSERT_TRUE(Write(u"C", "\0\0"s, ini_));
    ASSERT_TRUE(Write(u"b", "\0\0"s, ini_));
    EXPECT_EQ(ReadBytes(dir_.Path("s.ini")), "[A]\r\na=2\r\nhidden=1\r\n[B]\r\n");
}

TEST_P(ProfileContract, AMissingFileHasNoSectionsAndWritingCreatesItButNoFolder) {
    const std::string file = File("new.ini");
    EXPECT_EQ(Names(file), Items{});
    EXPECT_EQ(Lines(u"Position", file), Items{});
    ASSERT_TRUE(Write(u"C", "\0\0"s, file));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.ini"))) << "nothing to write";

    ASSERT_TRUE(Write(u"Position", "Left=1\0Top=2\0\0"s, file));
    ASSERT_TRUE(Write(u"Setting", ToAnsi(u"FileName=C:\\表\\a.txt") + "\0\0"s, file));
    EXPECT_EQ(ReadBytes(dir_.Path("new.ini")),
              "[Position]\r\nLeft=1\r\nTop=2\r\n[Setting]\r\nFileName=C:\\\x95\\\\a.txt\r\n");
    EXPECT_EQ(Names(file), (Items{u"Position", u"Setting"}));
    std::filesystem::create_directory(dir_.Path("folder.ini"));
    EXPECT_FALSE(Write(u"Position", "Left=5\0\0"s, File("folder.ini")));
    EXPECT_FALSE(Write(u"Position", "Left=5\0\0"s, File("no-such-dir/s.ini")));
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
    EXPECT_FALSE(Write(u"Position", "Left=5\0\0"s, ini_));
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(ReadBytes(path), kUsersFile);
}

const Implementation kImplementations[] = {
#ifdef _WIN32
    {"kernel32", SystemProfileSections},
#endif
    {"portable", []() -> ProfileSections& { return portable; }},
};
INSTANTIATE_TEST_SUITE_P(Implementations, ProfileContract, testing::ValuesIn(kImplementations),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace kiv

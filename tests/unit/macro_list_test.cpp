#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

#include "macro/default_macros.h"
#include "macro/macro_list.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;  // message, title

Pairs Contents(const MacroList& list) {
    Pairs pairs;
    for (const Macro& macro : list) pairs.emplace_back(macro.Message(), macro.Title());
    return pairs;
}

struct Fixture {
    const char* name;
    std::string bytes;
    Pairs expected;
};
// Names the case in test output instead of dumping its bytes.
void PrintTo(const Fixture& c, std::ostream* out) {
    *out << c.name;
}

class MacroFile : public testing::TestWithParam<Fixture> {};

TEST_P(MacroFile, ReadsAsTheToolDoes) {
    TempDir dir;
    WriteBytes(dir.Path("macros.txt"), GetParam().bytes);
    MacroList list;
    list.SetFileName(dir.File("macros.txt"));
    list.LoadData();
    EXPECT_EQ(Contents(list), GetParam().expected);
    EXPECT_EQ(ReadBytes(dir.Path("macros.txt")), GetParam().bytes)
        << "the file must stay as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MacroFile,
    testing::Values(
        Fixture{"empty_file", "", {}},
        Fixture{"message_and_title",
                "$1-1\t$1:\x83\x71\x83\x62\x83\x67\r\n",
                {{u"$1-1", u"$1:ヒット"}}},
        Fixture{"no_tab_is_both", "abc", {{u"abc", u"abc"}}},
        Fixture{"only_the_first_tab_divides", "a\tb\tc\r\n", {{u"a", u"b\tc"}}},
        Fixture{"tab_at_either_end", "\tx\r\nx\t\r\n", {{u"", u"x"}, {u"x", u""}}},
        Fixture{"tab_only_is_not_blank", "\t\r\n", {{u"", u""}}},
        Fixture{"blank_lines_skipped", "  \r\n\r\n\x81\x40 \x81\x40\r\nz\r\n", {{u"z", u"z"}}},
        Fixture{"spaces_kept", "  a \t b  \r\n", {{u"  a ", u" b  "}}},
        Fixture{"lone_cr_ends_a_line", "a\rb\r\rc", {{u"a", u"a"}, {u"b", u"b"}, {u"c", u"c"}}},
        Fixture{"lone_lf_stays_where_there_are_crs", "a\tb\nc\td\r\n", {{u"a", u"b\nc\td"}}},
        Fixture{
            "lf_ends_lines_where_there_is_no_cr", "a\tb\nc\td\n\n", {{u"a", u"b"}, {u"c", u"d"}}},
        Fixture{"lf_cr_pairs", "a\n\rb", {{u"a\n", u"a\n"}, {u"b", u"b"}}},
        Fixture{"duplicates_kept", "x\r\nx\r\n", {{u"x", u"x"}, {u"x", u"x"}}},
        Fixture{"utf8_mark_is_no_text",
                "\xef\xbb\xbf"
                "a\r\n",
                {{u"a", u"a"}}},
        Fixture{"trail_backslash_is_text", "\x95\x5cn\t\x95\x5c\r\n", {{u"表n", u"表"}}},
        Fixture{"bad_bytes_never_eat_the_line_end",
                "\x81\r\n\x81\r\n",
                {{u"\u30FB", u"\u30FB"}, {u"\u30FB", u"\u30FB"}}}),
    [](const auto& test) { return std::string(test.param.name); });

// The crafted files the checker is tested on, as the tool reads them: every
// encoding and line end the tool takes.
TEST(MacroFile, ReadsEveryEncodingAndLineEnd) {
    const Pairs unicode = {
        {u"こんにちは！\\n<now>", u"あいさつ"}, {u"ありがとう♥", u"お礼"}, {u"ﾃｽﾄ送信", u"テスト"}};
    const std::pair<const char*, Pairs> files[] = {
        {"utf8-bom.txt", unicode},
        {"utf8.txt", unicode},
        {"utf16le.txt", unicode},
        {"utf16be.txt", unicode},
        {"cp932-kana.txt",
         {{u"ｺﾝﾆﾁﾊ", u"あいさつ"},
          {u"ﾃｽﾄﾒｯｾｰｼﾞです", u"半角カナ"},
          {u"回復お願いします\\n<now>", u"回復"},
          {u"ﾃｽ", u"カナ二つ"}}},
        {"lf-only.txt", {{u"おはよう", u"朝"}, {u"おやすみ", u"夜"}, {u"またね", u"またね"}}},
    };
    for (const auto& [name, expected] : files) {
        MacroList list;
        list.SetFileName((std::filesystem::path(KIVMACRO_CHECKER_FIXTURES) / name).u16string());
        list.LoadData();
        EXPECT_EQ(Contents(list), expected) << name;
    }
}

TEST(MacroFile, LinesThatStraddleReadChunksAreWhole) {
    TempDir dir;
    std::string bytes;
    Pairs expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string n = std::to_string(i);
        bytes.append("m")
            .append(n)
            .append("\t\x95\x5c")
            .append(n)
            .append(i % 3 == 0 ? "\r" : "\r\n");
        expected.emplace_back(u"m" + std::u16string(n.begin(), n.end()),
                              u"表" + std::u16string(n.begin(), n.end()));
    }
    WriteBytes(dir.Path("big.txt"), bytes);
    MacroList list;
    list.SetFileName(dir.File("big.txt"));
    list.LoadData();
    EXPECT_EQ(Contents(list), expected);
}

TEST(MacroList, ItemAndTitleAreOneBasedAndReportPositionsOutOfRange) {
    TempDir dir;
    WriteBytes(dir.Path("m.txt"), "first\r\n\r\nsecond\tSecond\r\n");
    MacroList list;
    EXPECT_THROW(list.Item(1), std::out_of_range) << "never loaded";
    EXPECT_EQ(list.begin(), list.end());
    list.SetFileName(dir.File("m.txt"));
    list.LoadData();
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1), Macro(u"first", u"first"));
    EXPECT_EQ(list.Item(2), Macro(u"second", u"Second"));
    EXPECT_EQ(list.Title(1), u"first");
    EXPECT_EQ(list.Title(2), u"Second");
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.Item(3), std::out_of_range);
    EXPECT_THROW(list.Title(3), std::out_of_range);
}

TEST(MacroList, AFailedLoadKeepsTheMacrosItHad) {
    TempDir dir;
    WriteBytes(dir.Path("m.txt"), "kept\r\n");
    MacroList list;
    list.SetFileName(dir.File("m.txt"));
    list.LoadData();
    const std::u16string unreachable = (dir.Path("no-such-folder") / "m.txt").u16string();
    list.SetFileName(unreachable);
    EXPECT_THROW(list.LoadData(), FileError);
    EXPECT_EQ(list.FileName(), unreachable);
    EXPECT_EQ(Contents(list), (Pairs{{u"kept", u"kept"}}));
}

TEST(DefaultMacroFile, IsWrittenWhereNoFileIsAndReadBack) {
    TempDir dir;
    MacroList list;
    list.SetFileName(dir.File("new.txt"));
    list.LoadData();
    EXPECT_EQ(ReadBytes(dir.Path("new.txt")), DefaultMacroFileContents());
    ASSERT_EQ(list.Count(), 88u);
    EXPECT_EQ(list.Item(1), Macro(u"$1-1", u"$1:ヒット１(自分)"));
    EXPECT_EQ(list.Item(7), Macro(u"$7-1", u"$7:槍(自分)"));
    EXPECT_EQ(list.Item(45), Macro(u"$1-2", u"$1:ヒット１(手前)"));
    EXPECT_EQ(list.Item(88), Macro(u"$44-2", u"$44:バギクロス(手前)"));
    std::vector<Macro> read(list.begin(), list.end());
    EXPECT_EQ(read, DefaultMacros());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1)
        << "no temporary file may be left behind";
}

// A reload finding the file deleted must not bring the default macros back.
TEST(MacroList, AMissingFileReadWithoutDefaultsFailsAndWritesNothing) {
    TempDir dir;
    MacroList list;
    list.SetFileName(dir.File("gone.txt"));
    EXPECT_THROW(list.LoadData(MacroList::MissingFile::Fail), FileError);
    EXPECT_FALSE(list.IsLoaded());
    EXPECT_FALSE(std::filesystem::exists(dir.Path("gone.txt")));
}

TEST(DefaultMacroFile, IsNotWrittenOverAnExistingEmptyFile) {
    TempDir dir;
    WriteBytes(dir.Path("empty.txt"), "");
    MacroList list;
    list.SetFileName(dir.File("empty.txt"));
    list.LoadData();
    EXPECT_TRUE(list.IsLoaded());
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(ReadBytes(dir.Path("empty.txt")), "");
}

TEST(DefaultMacroFile, AMissingFolderFailsWithThePathInTheMessage) {
    TempDir dir;
    MacroList list;
    list.SetFileName((dir.Path("missing") / "m.txt").u16string());
    try {
        list.LoadData();
        FAIL() << "expected a FileError";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Path(), list.FileName());
        EXPECT_NE(error.UserMessage().find(list.FileName()), std::u16string::npos);
        EXPECT_FALSE(error.Reason().empty());
    }
    EXPECT_FALSE(list.IsLoaded());
}

}  // namespace
}  // namespace kiv

// The macro file reader, which streams and decides as it goes, against the file read whole by the
// rules stated plainly (support/macro_file_reference.h), and the files the checker is tested on.

#include "macro/macro_file_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"
#include "support/loaded_macro_list.h"
#include "support/macro_file_reference.h"
#include "support/temp_dir.h"

namespace kiv {
namespace test {
void PrintTo(const LinesRead& read, std::ostream* out) {
    *out << "encoding " << static_cast<int>(read.encoding) << ": ";
    for (const LineRead& line : read.lines) *out << '[' << ToUtf8(line.text) << ']';
}
}  // namespace test
namespace {

using test::LinesRead;
using test::LoadedMacroList;
using test::ReadMacroFileInPieces;

// A short file of the pieces the decisions turn on, after no mark or one of the three: marks, line
// ends, blanks, characters of each encoding and their halves, an odd last byte.
std::string RandomFile(std::mt19937& random) {
    static const std::string kBytes(
        "a\t\r\n \x82\xa0\xe3\x81\x82\xc3\xbd\xf0\x9f\x98\x80\xef\xbb\xbf\xff\xfe\0", 22);
    static const std::u16string kUnits = {u'a',      u'\t',     u'\r',     u'\n',  u' ',
                                          u'\u3000', u'\u3042', u'\u2665', 0xD83D, 0xDE00};
    static const char* const kMarks[] = {"", "\xef\xbb\xbf", "\xff\xfe", "\xfe\xff"};
    const std::string mark = kMarks[random() % 4];
    std::string bytes = mark;
    for (std::size_t n = random() % 24; n > 0; --n) {
        if (mark.size() != 2) {
            bytes += kBytes[random() % kBytes.size()];
            continue;
        }
        const char16_t unit = kUnits[random() % kUnits.size()];
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += mark == "\xff\xfe" ? std::string{low, high} : std::string{high, low};
    }
    if (mark.size() == 2 && random() % 4 == 0) bytes += 'x';
    return bytes;
}

TEST(MacroFileReader, ReadsInPiecesOfAnySizeAsTheWholeFileReads) {
    std::mt19937 random(20261208);  // the same files every run
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = RandomFile(random);
        const LinesRead whole = test::ReadWholeMacroFile(bytes);
        for (const std::size_t piece : {0u, 1u, 2u, 3u, 5u}) {
            ASSERT_EQ(ReadMacroFileInPieces(bytes, piece), whole)
                << testing::PrintToString(bytes) << " in pieces of " << piece;
        }
    }
}

TEST(MacroFileReader, ReadsAgainOnlyWhenALateLineOverturnsADecision) {
    const std::tuple<const char*, std::string, std::vector<std::u16string>, int> cases[] = {
        {"CP932", "\x82\xa0\tA\r\n\r\n\x95\x5c", {u"あ\tA", u"", u"表"}, 1},
        {"UTF-8", "\xe3\x81\x82\n\n", {u"あ", u""}, 1},
        {"UTF-16 odd last byte", std::string("\xff\xfe\x61\0\r\0\n\0b", 9), {u"a"}, 1},
        {"UTF-8 cut after a whole character", "\xe3\x81\x82\xe3\x81", {u"あ"}, 1},
        // As always, no character lost.
        {"CP932 ending as UTF-8 starts",
         "ok\r\nGG \xe8\x8a\r\n\xc3",
         {u"ok", u"GG \u95C3", u"ﾃ"},
         1},
        // ﾃｽ happens to be "ý" in UTF-8.
        {"UTF-8 until a line that is not", "\xc3\xbd\r\n\xba\xdd\r\n", {u"ﾃｽ", u"ｺﾝ"}, 2},
        {"LF lines then a CR", "a\nb\r\n", {u"a\nb"}, 2},
        {"UTF-16 LF lines then a CR", std::string("\xff\xfe\x61\0\n\0b\0\r\0", 10), {u"a\nb"}, 2},
        {"UTF-8 LF lines, CP932, a CR", "\xc3\xbd\n\xba\xdd\n\r", {u"ﾃｽ\nｺﾝ\n"}, 3},
    };
    for (const auto& [name, bytes, lines, readings] : cases) {
        int readingsDone = 0;
        const LinesRead read = ReadMacroFileInPieces(bytes, 0, &readingsDone);
        std::vector<std::u16string> linesRead;
        for (const test::LineRead& line : read.lines) linesRead.push_back(line.text);
        EXPECT_EQ(linesRead, lines) << name;
        EXPECT_EQ(readingsDone, readings) << name;
        EXPECT_EQ(read, test::ReadWholeMacroFile(bytes)) << name;
    }
}

// Past the first read of 64 KiB: lines across the reads, and decisions overturned late (a line not
// UTF-8, a CR after LF lines).
TEST(MacroFileReader, LinesAcrossReadsAndALateDecisionReadAsTheWholeFileDoes) {
    std::string straddling, utf8Lines, lfLines;
    for (int i = 0; i < 20000; ++i) {
        straddling += "m" + std::to_string(i) + (i % 3 == 0 ? "\t\x95\x5c\r" : "\t\x95\x5c\r\n");
        utf8Lines += "\xe3\x81\x82\r\n";  // あ
        lfLines += "line\n";
    }
    for (const std::string& bytes : {straddling, utf8Lines + "\x82\xa0\r\n", lfLines + "end\r\n"}) {
        EXPECT_EQ(ReadMacroFileInPieces(bytes, 0), test::ReadWholeMacroFile(bytes));
    }
}

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;  // message, title

Pairs Contents(const MacroList& list) {
    Pairs pairs;
    for (const Macro& macro : list) pairs.emplace_back(macro.Message(), macro.Title());
    return pairs;
}

std::string CheckerFile(const char* name) {
    return ReadBytes(std::filesystem::path(KIVMACRO_CHECKER_FIXTURES) / name);
}

TEST(MacroFile, ReadsAsTheToolDoesAndLeavesTheFileAsItWas) {
    const Pairs unicode = {
        {u"こんにちは！\\n<now>", u"あいさつ"}, {u"ありがとう♥", u"お礼"}, {u"ﾃｽﾄ送信", u"テスト"}};
    const std::tuple<const char*, std::string, Pairs> fixtures[] = {
        {"empty_file", "", {}},  // no default macros over it
        {"message_and_title", "$1-1\t$1:\x83\x71\x83\x62\x83\x67\r\n", {{u"$1-1", u"$1:ヒット"}}},
        {"no_tab_is_both", "abc", {{u"abc", u"abc"}}},
        {"only_the_first_tab_divides", "a\tb\tc\r\n", {{u"a", u"b\tc"}}},
        {"tab_at_either_end", "\tx\r\nx\t\r\n", {{u"", u"x"}, {u"x", u""}}},
        {"tab_only_is_not_blank", "\t\r\n", {{u"", u""}}},
        {"blank_lines_skipped", "  \r\n\r\n\x81\x40 \x81\x40\r\nz\r\n", {{u"z", u"z"}}},
        {"spaces_kept", "  a \t b  \r\n", {{u"  a ", u" b  "}}},
        {"lone_cr_ends_a_line", "a\rb\r\rc", {{u"a", u"a"}, {u"b", u"b"}, {u"c", u"c"}}},
        {"lone_lf_stays_where_there_are_crs", "a\tb\nc\td\r\n", {{u"a", u"b\nc\td"}}},
        {"lf_ends_lines_where_there_is_no_cr", "a\tb\nc\td\n\n", {{u"a", u"b"}, {u"c", u"d"}}},
        {"lf_cr_pairs", "a\n\rb", {{u"a\n", u"a\n"}, {u"b", u"b"}}},
        {"duplicates_kept", "x\r\nx\r\n", {{u"x", u"x"}, {u"x", u"x"}}},
        {"utf8_mark_is_no_text", "\xef\xbb\xbfz\r\n", {{u"z", u"z"}}},
        {"trail_backslash_is_text", "\x95\x5cn\t\x95\x5c\r\n", {{u"表n", u"表"}}},
        {"bad_bytes_never_eat_the_line_end", "\x81\r\n\x81\r\n", {{u"・", u"・"}, {u"・", u"・"}}},
        // The checker's crafted files: every encoding and line end the tool takes.
        {"utf8-bom.txt", CheckerFile("utf8-bom.txt"), unicode},
        {"utf8.txt", CheckerFile("utf8.txt"), unicode},
        {"utf16le.txt", CheckerFile("utf16le.txt"), unicode},
        {"utf16be.txt", CheckerFile("utf16be.txt"), unicode},
        {"cp932-kana.txt",
         CheckerFile("cp932-kana.txt"),
         {{u"ｺﾝﾆﾁﾊ", u"あいさつ"},
          {u"ﾃｽﾄﾒｯｾｰｼﾞです", u"半角カナ"},
          {u"回復お願いします\\n<now>", u"回復"},
          {u"ﾃｽ", u"カナ二つ"}}},
        {"lf-only.txt",
         CheckerFile("lf-only.txt"),
         {{u"おはよう", u"朝"}, {u"おやすみ", u"夜"}, {u"またね", u"またね"}}}};
    TempDir dir;
    for (const auto& [name, bytes, expected] : fixtures) {
        WriteBytes(dir.Path("macros.txt"), bytes);
        EXPECT_EQ(Contents(LoadedMacroList(dir.File("macros.txt"))), expected) << name;
        EXPECT_EQ(ReadBytes(dir.Path("macros.txt")), bytes) << name;
    }
}

}  // namespace
}  // namespace kiv

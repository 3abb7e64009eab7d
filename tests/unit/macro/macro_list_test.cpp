// The list read from a file: one-based positions; a file gone on reload brings no defaults back.

#include "macro/macro_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "platform/file_error.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::LoadedMacroList;
using test::TempDir;
using test::WriteBytes;

TEST(MacroList, ItemAndTitleAreOneBasedAndAMissingFileReadWithoutDefaultsFails) {
    TempDir dir;
    MacroList never;
    never.SetFileName(dir.File("gone.txt"));
    EXPECT_THROW(never.LoadData(MacroList::MissingFile::Fail), FileError);
    EXPECT_FALSE(never.IsLoaded());
    EXPECT_FALSE(std::filesystem::exists(dir.Path("gone.txt")));
    EXPECT_THROW(never.Item(1), std::out_of_range);
    EXPECT_EQ(never.begin(), never.end());

    WriteBytes(dir.Path("m.txt"), "first\r\n\r\nsecond\tSecond\r\n");
    const MacroList list = LoadedMacroList(dir.File("m.txt"));
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Item(1), Macro(u"first", u"first"));
    EXPECT_EQ(list.Item(2), Macro(u"second", u"Second"));
    EXPECT_EQ(list.Title(2), u"Second");
    EXPECT_THROW(list.Item(0), std::out_of_range);
    EXPECT_THROW(list.Item(3), std::out_of_range);
    EXPECT_THROW(list.Title(3), std::out_of_range);
}

// A program renamed .txt fills no list: a NUL in a file without a mark is
// refused, naming the file, wherever it comes; behind a mark it is text.
TEST(MacroList, AFileWithANulAndNoMarkIsRefusedAndTheListStays) {
    using std::string_literals::operator""s;
    TempDir dir;
    WriteBytes(dir.Path("m.txt"), "kept\r\n");
    MacroList list = LoadedMacroList(dir.File("m.txt"));
    const std::tuple<const char*, std::string, std::size_t> cases[] = {
        {"program", "MZ\x90\0\x03\0"s, 0},
        {"late_nul", std::string(100000, 'a') + "\r\n\0"s, 0},
        {"utf8_looking", "\xE3\x81\x82\0"s, 0},
        {"utf8_mark",
         "\xEF\xBB\xBF"
         "a\0b\r\n"s,
         1},
        {"utf16_mark",
         "\xFF\xFE"
         "a\0\r\0\n\0"s,
         1},
    };
    for (const auto& [name, bytes, count] : cases) {
        WriteBytes(dir.Path("m.txt"), "kept\r\n");
        list.LoadData();
        WriteBytes(dir.Path("m.txt"), bytes);
        if (count != 0) {
            list.LoadData();
            EXPECT_EQ(list.Count(), count) << name;
            continue;
        }
        try {
            list.LoadData();
            ADD_FAILURE() << name << " read";
        } catch (const FileError& error) {
            EXPECT_EQ(error.FailedStep(), FileError::Step::NotText) << name;
            EXPECT_NE(error.UserMessage().find(dir.File("m.txt")), std::u16string::npos) << name;
        }
        ASSERT_EQ(list.Count(), 1u) << name;
        EXPECT_EQ(list.Title(1), u"kept") << name;
    }
}

}  // namespace
}  // namespace kiv

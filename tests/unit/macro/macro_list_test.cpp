// The list read from a file: one-based positions; a file gone on reload brings no defaults back.

#include "macro/macro_list.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace kiv

// The default macro file: written only where no file is (an empty one stays empty: the reader's
// empty_file), read back whole with no temporary file left behind, clean for the checker, and the
// sample the package ships.

#include "macro/default_macros.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "macro/macro_file_check.h"
#include "macro/macro_list.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using test::LoadedMacroList;
using test::ReadBytes;
using test::TempDir;

TEST(DefaultMacroFile, IsWrittenWhereNoFileIsAndReadBackAndIsClean) {
    TempDir dir;
    const MacroList list = LoadedMacroList(dir.File("new.txt"));
    EXPECT_EQ(ReadBytes(dir.Path("new.txt")), DefaultMacroFileContents());
    EXPECT_EQ(std::vector<Macro>(list.begin(), list.end()), DefaultMacros());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
    EXPECT_EQ(CheckMacroFile(DefaultMacroFileContents()), std::vector<MacroFileFinding>{});
}

#ifdef KIVMACRO_SAMPLE_MACRO_FILE
TEST(DefaultMacroFile, IsTheSampleThePackageShips) {
    EXPECT_EQ(ReadBytes(KIVMACRO_SAMPLE_MACRO_FILE), DefaultMacroFileContents());
}
#endif

}  // namespace
}  // namespace kiv

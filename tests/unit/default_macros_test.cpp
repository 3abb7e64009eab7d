#include <gtest/gtest.h>

#include "macro/default_macros.h"
#include "macro/macro_file_check.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

TEST(DefaultMacroFile, GivesTheCheckerNothingToReport) {
    EXPECT_EQ(CheckMacroFile(DefaultMacroFileContents()), std::vector<MacroFileFinding>{});
}

#ifdef KIVMACRO_SAMPLE_MACRO_FILE
TEST(DefaultMacroFile, IsTheSampleThePackageShips) {
    EXPECT_EQ(test::ReadBytes(KIVMACRO_SAMPLE_MACRO_FILE), DefaultMacroFileContents());
}
#endif

}  // namespace
}  // namespace kiv

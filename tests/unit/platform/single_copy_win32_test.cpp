// Which copy of the tool a settings file belongs to: the same file however its path is written,
// another file another name, and no name a kernel object cannot have.

#include "platform/single_copy_win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/single_copy.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

TEST(SingleCopyName, IsTheSettingsFilesHoweverItsPathIsWritten) {
    const test::TempDir dir;
    std::filesystem::create_directory(dir.Path("settings folder"));
    const std::u16string folder = dir.Path("settings folder").u16string();
    // Named by its folder's short name (as some launchers start programs), the same file.
    std::wstring shortFolder(MAX_PATH, L'\0');
    shortFolder.resize(
        GetShortPathNameW(dir.Path("settings folder").c_str(), shortFolder.data(), MAX_PATH));
    ASSERT_NE(shortFolder.find(L'~'), std::wstring::npos) << shortFolder;
    const std::u16string name = SingleCopyName(NormalisedPath(folder + u"\\chat.ini"));
    for (const std::u16string& same :
         {folder + u"/CHAT.INI", folder + u"\\sub\\..\\Chat.ini",
          std::u16string(shortFolder.begin(), shortFolder.end()) + u"\\chat.ini"}) {
        EXPECT_EQ(SingleCopyName(NormalisedPath(same)), name);
    }
    EXPECT_NE(SingleCopyName(NormalisedPath(folder + u"\\chat2.ini")), name);
    EXPECT_TRUE(name.starts_with(u"Local\\"));
    EXPECT_EQ(name.find(u'\\', 6), std::u16string::npos) << "a kernel object's name";
}

}  // namespace
}  // namespace kiv

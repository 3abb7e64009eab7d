#include <gtest/gtest.h>

#include "dialogs/open_file_request.h"

namespace kiv {
namespace {

TEST(OpenFileRequest, FillsTheRecordAsTheDialogNeedsItForAnyPath) {
    const OpenFileRequest r = BuildOpenFileRequest(
        u"", u"D:\\macros\\chat.txt", u"テキストファイル(*.txt)|*.txt|全てのファイル(*.*)|*.*");
    EXPECT_EQ(r.filter,
              std::u16string(u"テキストファイル(*.txt)\0*.txt\0全てのファイル(*.*)\0*.*\0\0", 40));
    EXPECT_EQ(r.title, u"ﾌｧｲﾙを開く");
    // The whole path: the dialog opens in its folder, whatever folder it
    // remembers from earlier (which an initial folder given apart would not beat).
    EXPECT_EQ(ChosenPath(r.file), u"D:\\macros\\chat.txt");
    EXPECT_EQ(r.fileTitle, r.file);
    EXPECT_EQ(r.filterIndex, 1u);
    EXPECT_EQ(BuildOpenFileRequest(u"選択", u"", u"a|b").title, u"選択");

    // Any path fits, and the choice ends at the first NUL.
    const std::u16string longest(32767, u'表');  // Windows' longest path
    EXPECT_EQ(ChosenPath(BuildOpenFileRequest(u"", longest, u"a|b").file), longest);
    EXPECT_EQ(BuildOpenFileRequest(u"", longest + u"表", u"a|b").file[0], u'\0')
        << "a path with no room for its NUL is not preset";
    EXPECT_EQ(ChosenPath(std::u16string(u"C:\\表\\a〜.txt\0junk", 16)), u"C:\\表\\a〜.txt");
}

}  // namespace
}  // namespace kiv

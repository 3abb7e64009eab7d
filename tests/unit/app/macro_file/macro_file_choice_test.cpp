#include "app/macro_file/macro_file_choice.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/utf8.h"

namespace kiv {
namespace {

// Windows' default conversion writes 〜 as ～ and é as e: a stored path that would
// name another file, so such a path is refused before it is loaded.
TEST(MacroFileChoice, OneDroppedFileLoadsAndAnythingElseIsExplained) {
    // A tiny file system: a folder, files a*, shortcuts to one of each and one unreadable.
    const DropFacts facts{
        .look =
            [](const std::u16string& path) {
                return DroppedPath{
                    path == u"C:\\m" || path.starts_with(u"C:\\m\\a") || path == u"C:\\m\\b.lnk",
                    path == u"C:\\m"};
            },
        .shortcutTarget = [](const std::u16string& path) -> std::optional<std::u16string> {
            if (path == u"C:\\m\\b.lnk") return u"C:\\m\\a.txt";
            if (path == u"C:\\m\\folder.LNK") return u"C:\\m";
            return std::nullopt;
        }};
    // What is dropped, what is loaded, a piece of what the user is told.
    const std::tuple<std::vector<std::u16string>, std::optional<std::u16string>, std::u16string>
        cases[] = {
            {{u"C:\\m\\a.txt"}, u"C:\\m\\a.txt", u""},
            {{u"C:\\m\\a～①.txt"}, u"C:\\m\\a～①.txt", u""},
            {{u"C:\\m\\b.lnk"}, u"C:\\m\\a.txt", u""},  // Explorer drops the shortcut itself
            {{u"C:\\m\\folder.LNK"}, std::nullopt, u"フォルダー"},
            {{u"C:\\m\\broken.lnk"}, std::nullopt, u"指す先がわかりません"},
            {{u"C:\\m"}, std::nullopt, u"フォルダー"},
            {{u"C:\\m\\new.txt"}, std::nullopt, u"見つかりません"},  // never made
            {{u"C:\\m\\a挨拶〜定型\\Café.txt"}, std::nullopt, u"〜 (U+301C)、é (U+00E9)"},
            {{u"a.txt", u"b.txt"}, std::nullopt, u"1 つだけ"},
            {{}, std::nullopt, u""},
        };
    for (const auto& [dropped, load, told] : cases) {
        const DropOutcome outcome = DecideDrop(dropped, facts);
        SCOPED_TRACE(dropped.empty() ? "nothing" : ToUtf8(dropped.front()));
        EXPECT_EQ(outcome.load, load);
        EXPECT_NE(outcome.message.find(told), std::u16string::npos);
        EXPECT_EQ(outcome.message.empty(), told.empty());
    }
    DropFacts unicode = facts;
    unicode.settings = TextEncoding::Utf8;  // a settings file in UTF-8 keeps any path
    EXPECT_EQ(DecideDrop({u"C:\\m\\a挨拶〜定型\\Café.txt"}, unicode).load,
              u"C:\\m\\a挨拶〜定型\\Café.txt");
}

}  // namespace
}  // namespace kiv

#include <gtest/gtest.h>

#include "app/auto_reload.h"
#include "app/main_commands.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

// Every way the list's selection moves, side by side; -1 is nothing selected.
TEST(MainCommands, TheSelectionWrapsAtBothEndsAndStaysWhereItCan) {
    using Rule = int (*)(int selected, int count);
    const Rule sayNext = SelectionAfterSayNext;
    const Rule next = [](int s, int n) { return SelectionAfterStep(s, n, Step::Next); };
    const Rule previous = [](int s, int n) { return SelectionAfterStep(s, n, Step::Previous); };
    const struct {
        const char* rule;
        Rule after;
        int selected, count, expected;
    } cases[] = {
        {"say next", sayNext, 2, 3, 0},   {"say next", sayNext, 0, 3, 1},
        {"say next", sayNext, -1, 3, 0},  {"say next", sayNext, -1, 0, -1},
        {"next", next, 1, 3, 2},          {"next", next, 2, 3, 0},
        {"next", next, -1, 3, 0},         {"next", next, -1, 0, -1},
        {"previous", previous, 1, 3, 0},  {"previous", previous, 0, 3, 2},
        {"previous", previous, -1, 3, 2}, {"previous", previous, -1, 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.after(c.selected, c.count), c.expected)
            << c.rule << " from " << c.selected << " of " << c.count;
    }
}

TEST(MainCommands, OneDroppedFileLoadsAndAnythingElseIsExplained) {
    // A tiny file system: a folder, two files, shortcuts to one of each and one unreadable.
    const DropFacts facts{
        .look =
            [](const std::u16string& path) {
                return DroppedPath{
                    path == u"C:\\m" || path == u"C:\\m\\a.txt" || path == u"C:\\m\\b.lnk",
                    path == u"C:\\m"};
            },
        .shortcutTarget = [](const std::u16string& path) -> std::optional<std::u16string> {
            if (path == u"C:\\m\\b.lnk") return u"C:\\m\\a.txt";
            if (path == u"C:\\m\\folder.LNK") return u"C:\\m";
            return std::nullopt;
        }};
    const struct {
        std::vector<std::u16string> dropped;
        std::optional<std::u16string> load;
        std::u16string told;  // a piece of the message
    } cases[] = {
        {{u"C:\\m\\a.txt"}, u"C:\\m\\a.txt", u""},
        {{u"C:\\m\\b.lnk"}, u"C:\\m\\a.txt", u""},  // Explorer drops the shortcut itself
        {{u"C:\\m\\folder.LNK"}, std::nullopt, u"フォルダー"},
        {{u"C:\\m\\broken.lnk"}, std::nullopt, u"指す先がわかりません"},
        {{u"C:\\m"}, std::nullopt, u"フォルダー"},
        {{u"C:\\m\\new.txt"}, std::nullopt, u"見つかりません"},  // never made
        {{u"a.txt", u"b.txt"}, std::nullopt, u"1 つだけ"},
        {{}, std::nullopt, u""},
    };
    for (const auto& c : cases) {
        const DropOutcome outcome = DecideDrop(c.dropped, facts);
        EXPECT_EQ(outcome.load, c.load) << c.dropped.size();
        EXPECT_NE(outcome.message.find(c.told), std::u16string::npos)
            << (c.dropped.empty() ? "" : ToUtf8(c.dropped.front()));
        EXPECT_EQ(outcome.message.empty(), c.told.empty());
    }
}

// Windows' default conversion writes 〜 as ～ and é as e: as a stored path
// that names another file, so such a path is refused before it is loaded.
TEST(MainCommands, APathTheSettingsFileCannotHoldExactlyIsRefusedNamingTheCharacters) {
    EXPECT_EQ(MacroFilePathRefusal(u"D:\\表\\～①.txt"), std::nullopt);
    const auto refusal = MacroFilePathRefusal(u"D:\\挨拶〜定型\\Café.txt");
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find(u"〜 (U+301C)、é (U+00E9)"), std::u16string::npos);
    const DropFacts anything{.look =
                                 [](const std::u16string&) {
                                     return DroppedPath{true, false};
                                 },
                             .shortcutTarget = {}};
    EXPECT_EQ(DecideDrop({u"C:\\m\\♥.txt"}, anything).load, std::nullopt);
}

}  // namespace
}  // namespace kiv

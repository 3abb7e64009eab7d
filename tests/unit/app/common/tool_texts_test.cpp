// The house rules of wording, over every text the tool shows beyond the
// design's fixed ones: the tables the code takes its words from, and the
// dialogs' resource script.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "app/common/app_texts.h"
#include "dialogs/dialog_texts.h"
#include "macro/macro_texts.h"
#include "platform/platform_texts.h"
#include "platform/utf8.h"
#include "settings/options.h"
#include "settings/settings_texts.h"

namespace kiv {
namespace {

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

struct Shown {
    std::string where;  // the table and name, or the dialog
    std::u16string text;
};

// Each dialog's captions and labels in the resource script, by dialog.
std::map<std::string, std::vector<std::u16string>> DialogTexts() {
    std::map<std::string, std::vector<std::u16string>> dialogs;
    std::istringstream script(ReadAll(KIVMACRO_RESOURCE_SCRIPT));
    const std::regex begins(R"(^(\w+) DIALOGEX)"),
        text(R"re(^\s*(CAPTION|LTEXT|PUSHBUTTON|DEFPUSHBUTTON)\s+"([^"]*)")re");
    std::string line, dialog;
    std::smatch match;
    while (std::getline(script, line)) {
        if (std::regex_search(line, match, begins)) dialog = match[1];
        if (!dialog.empty() && std::regex_search(line, match, text)) {
            dialogs[dialog].push_back(FromUtf8(match[2].str()));
        }
    }
    return dialogs;
}

std::vector<Shown> AllTexts() {
    std::vector<Shown> all;
    const auto add = [&](std::string_view table, std::span<const ToolText> texts) {
        for (const ToolText& t : texts) {
            all.push_back({std::string(table) + "." + std::string(t.name), std::u16string(t.text)});
        }
    };
    add("platform", kPlatformTexts);
    add("settings", kSettingsTexts);
    add("macro", kMacroTexts);
    add("dialogs", kDialogTexts);
    add("app", kAppTexts);
    add("window menu", kWindowMenuTexts);
    add("recent menu", kRecentMenuTexts);
    add("send-to menu", kSendToMenuTexts);
    for (const HotkeyActionInfo& action : kHotkeyActionInfo) {
        all.push_back({"hotkey action", std::u16string(action.name)});
    }
    for (const auto& [dialog, texts] : DialogTexts()) {
        for (const std::u16string& text : texts) all.push_back({dialog, text});
    }
    all.push_back({"the guide", FromUtf8(ReadAll(KIVMACRO_GUIDE))});
    return all;
}

// The words the glossary says are replaced, from its table's last column.
std::vector<std::u16string> ReplacedTerms() {
    std::vector<std::u16string> terms;
    std::istringstream glossary(ReadAll(KIVMACRO_GLOSSARY));
    std::string line;
    while (std::getline(glossary, line)) {
        if (line.rfind("| ", 0) != 0) continue;
        const std::u16string row = FromUtf8(line);
        const std::size_t lastBar = row.rfind(u'|', row.size() - 2);
        std::u16string cell = row.substr(lastBar + 1, row.size() - lastBar - 2);
        for (std::size_t start = 0; start <= cell.size();) {
            std::size_t end = cell.find(u'、', start);
            if (end == std::u16string::npos) end = cell.size();
            std::u16string term = cell.substr(start, end - start);
            while (!term.empty() && term.front() == u' ') term.erase(0, 1);
            while (!term.empty() && term.back() == u' ') term.pop_back();
            if (!term.empty() && term != u"Not") terms.push_back(term);
            start = end + 1;
        }
    }
    return terms;
}

// The letter after "&", upper-cased; nothing when there is none ("&&" is an "&").
std::optional<char16_t> AccessKey(std::u16string_view text) {
    for (std::size_t at = text.find(u'&'); at != std::u16string_view::npos && at + 1 < text.size();
         at = text.find(u'&', at + 2)) {
        if (text[at + 1] != u'&') {
            const char16_t key = text[at + 1];
            return key >= u'a' && key <= u'z' ? static_cast<char16_t>(key - 0x20) : key;
        }
    }
    return std::nullopt;
}

TEST(ToolTexts, KeepTheHouseRulesOfWording) {
    const std::vector<std::u16string> replaced = ReplacedTerms();
    ASSERT_GE(replaced.size(), 5u) << "the glossary's table was not read";
    const std::vector<Shown> all = AllTexts();
    ASSERT_GT(all.size(), 100u);
    for (const Shown& shown : all) {
        SCOPED_TRACE(shown.where + ": " + ToUtf8(shown.text));
        for (const char16_t c : shown.text) {
            EXPECT_FALSE(c >= 0xFF61 && c <= 0xFF9F) << "half-width katakana";
        }
        for (std::size_t at = shown.text.find(u'。'); at != std::u16string::npos;
             at = shown.text.find(u'。', at + 1)) {
            EXPECT_FALSE(at + 1 < shown.text.size() &&
                         (shown.text[at + 1] == u' ' || shown.text[at + 1] == u'\u3000'))
                << "a space after 。";
        }
        for (const std::u16string& term : replaced) {
            EXPECT_EQ(shown.text.find(term), std::u16string::npos)
                << "replaced in the glossary: " << ToUtf8(term);
        }
        // In the Japanese style: "(&X)", at the end or before "..." or a TAB.
        if (const auto at = shown.text.find(u'&'); at != std::u16string::npos) {
            EXPECT_TRUE(at > 0 && shown.text[at - 1] == u'(' && at + 2 < shown.text.size() &&
                        shown.text[at + 2] == u')')
                << "an access key not as (&X)";
        }
    }
}

TEST(ToolTexts, AccessKeysAreOnEveryMenuItemAndApartInEachMenuAndDialog) {
    // Windows' own keys in the window menu: 元のサイズに戻す, 移動, サイズ変更,
    // 最小化, 最大化, 閉じる.
    const std::u16string windowMenuKeys = u"RMSNXC";
    struct Group {
        std::string name;
        std::vector<std::u16string> texts;
        std::u16string taken;
    };
    std::vector<Group> groups;
    const auto texts = [](std::span<const ToolText> table) {
        std::vector<std::u16string> list;
        for (const ToolText& t : table) list.emplace_back(t.text);
        return list;
    };
    groups.push_back({"window menu", texts(kWindowMenuTexts), windowMenuKeys});
    groups.push_back({"recent menu", texts(kRecentMenuTexts), u"12345678"});
    groups.push_back({"send-to menu", texts(kSendToMenuTexts), u""});
    const auto dialogs = DialogTexts();
    ASSERT_EQ(dialogs.size(), 2u);
    for (const auto& [dialog, list] : dialogs) groups.push_back({dialog, list, u""});
    for (const Group& group : groups) {
        std::set<char16_t> used(group.taken.begin(), group.taken.end());
        for (const std::u16string& text : group.texts) {
            const std::optional<char16_t> key = AccessKey(text);
            if (group.name.find("menu") != std::string::npos && text.front() != u'(') {
                EXPECT_TRUE(key) << group.name << ": " << ToUtf8(text) << " has no access key";
            }
            if (key) {
                EXPECT_TRUE(used.insert(*key).second)
                    << group.name << ": " << ToUtf8(text) << " repeats its access key";
            }
        }
    }
}

// Read in Notepad with a fixed-pitch Japanese font: a full-width character
// takes two columns, so a list's second column lines up only when counted so.
TEST(ToolTexts, TheGuideLinesUpInAFixedPitchView) {
    const std::u16string guide = FromUtf8(ReadAll(KIVMACRO_GUIDE));
    ASSERT_FALSE(guide.empty());
    const auto columns = [](std::u16string_view text) {
        std::size_t width = 0;
        for (const char16_t c : text) width += c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
        return width;
    };
    // "  ・発言           ..." and "      Ctrl+Z       ...": the text after the
    // gap starts where the lines that go on under it start.
    const std::wregex twoColumns(LR"(^(  ・\S+|      \S+)( {2,})\S.*)");
    std::size_t lists = 0;
    for (std::size_t start = 0; start < guide.size();) {
        std::size_t end = guide.find(u'\n', start);
        if (end == std::u16string::npos) end = guide.size();
        const std::u16string line = guide.substr(start, end - start);
        start = end + 1;
        const std::wstring wide(line.begin(), line.end());
        std::wsmatch match;
        if (!std::regex_match(wide, match, twoColumns)) continue;
        const std::wstring head = match[1].str() + match[2].str();
        EXPECT_EQ(columns(std::u16string(head.begin(), head.end())), 19u) << ToUtf8(line);
        ++lists;
    }
    EXPECT_GE(lists, 10u);
}

TEST(ToolTexts, FillPutsEachValueInItsPlace) {
    EXPECT_EQ(Fill(u"「%1」の %2: %1", {u"発言", u"F7"}), u"「発言」の F7: 発言");
    EXPECT_EQ(Fill(u"%2 と %3 と 100%", {u"a", u"b"}), u"b と %3 と 100%")
        << "a mark with no value";
    EXPECT_EQ(Fill(u"%%1", {u"x"}), u"%x");
}

}  // namespace
}  // namespace kiv

// The house rules of wording, over every text the tool shows beyond the
// design's fixed ones: the tables the code takes its words from, and the
// dialogs' resource script.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
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
    add("tab menu", kTabMenuTexts);
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
    const std::wregex term(LR"([^、 ]([^、]*[^、 ])?)");  // between 、, the spaces around it left
    for (std::string line; std::getline(glossary, line);) {
        if (!line.starts_with("| ")) continue;
        const std::u16string row = FromUtf8(line);
        const std::size_t from = row.rfind(u'|', row.size() - 2) + 1;  // to the closing "|"
        const std::u16string_view last =
            std::u16string_view(row).substr(from, row.size() - 1 - from);
        const std::wstring cell(last.begin(), last.end());
        for (std::wsregex_iterator it(cell.begin(), cell.end(), term), end; it != end; ++it) {
            // Compared as char16_t: glibc's wide compare reads past a short
            // string's end, harmlessly, yet valgrind counts it an error.
            const std::u16string found((*it)[0].first, (*it)[0].second);
            if (found != u"Not") terms.push_back(found);
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
        EXPECT_TRUE(std::ranges::none_of(shown.text, [](char16_t c) {
            return c >= 0xFF61 && c <= 0xFF9F;
        })) << "half-width katakana";
        for (const std::u16string_view space : {u"。 ", u"。\u3000"}) {
            EXPECT_EQ(shown.text.find(space), std::u16string::npos) << "a space after 。";
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
    ASSERT_EQ(DialogTexts().size(), 4u);
    // By menu or dialog, the keys taken: at first Windows' own in the window menu
    // (元のサイズに戻す, 移動, サイズ変更, 最小化, 最大化, 閉じる) and the recent files' numbers.
    std::map<std::string, std::u16string> taken{{"window menu", u"RMSNXC"},
                                                {"recent menu", u"12345678"}};
    for (const Shown& shown : AllTexts()) {
        const std::string group = shown.where.substr(0, shown.where.find('.'));
        const bool menu = group.ends_with(" menu");
        if (!menu && !group.starts_with("IDD_")) continue;
        SCOPED_TRACE(shown.where + ": " + ToUtf8(shown.text));
        const std::optional<char16_t> key = AccessKey(shown.text);
        EXPECT_TRUE(key || !menu || shown.text.front() == u'(') << "no access key";
        if (key) {
            EXPECT_EQ(taken[group].find(*key), std::u16string::npos) << "a repeated access key";
            taken[group] += *key;
        }
    }
}

// Read in Notepad with a fixed-pitch Japanese font: a full-width character
// takes two columns, so a list's second column lines up only when counted so.
TEST(ToolTexts, TheGuideLinesUpInAFixedPitchView) {
    const std::u16string guide = FromUtf8(ReadAll(KIVMACRO_GUIDE));
    ASSERT_FALSE(guide.empty());
    const auto columns = [](std::wstring_view text) {
        std::size_t width = 0;
        for (const wchar_t c : text) width += c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
        return width;
    };
    // "  ・発言           ..." and "      Ctrl+Z       ...": the text after the
    // gap starts where the lines that go on under it start.
    const std::wregex twoColumns(LR"(^(  ・\S+|      \S+)( {2,})\S.*)");
    std::size_t lists = 0;
    std::wistringstream lines(std::wstring(guide.begin(), guide.end()));
    std::wsmatch match;
    for (std::wstring line; std::getline(lines, line);) {
        if (!std::regex_match(line, match, twoColumns)) continue;
        EXPECT_EQ(columns(match[1].str() + match[2].str()), 19u)
            << ToUtf8(std::u16string(line.begin(), line.end()));
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

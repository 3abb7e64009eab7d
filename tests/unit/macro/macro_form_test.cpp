// The macro dialog's fields as text: a macro shown, composed back, or refused naming the field.

#include "macro/macro_form.h"

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace kiv {
namespace {

struct Shown {
    const char* name;
    Macro macro;
    MacroForm form;
};

// OK without a change must give back the very macro the dialog was opened on.
TEST(FormOfMacro, ShowsThePiecesAndComposesBackToTheSameMacro) {
    const Shown cases[] = {
        {"own_title", {u"こんにちは", u"こんにちは"}, {u"", {u"こんにちは"}, u""}},
        {"titled", {u"$1-1", u"$1:ヒット"}, {u"$1:ヒット", {u"$1-1"}, u""}},
        {"three_lines", {u"A\\n<now>\\nC", u"t"}, {u"t", {u"A", u"<now>", u"C"}, u""}},
        {"gap_in_the_middle", {u"A\\n\\nC", u"t"}, {u"t", {u"A", u"", u"C"}, u""}},
        {"five_pieces_keep_a_rest",
         {u"A\\nB\\nC\\nD\\nE", u"t"},
         {u"t", {u"A", u"B", u"C"}, u"\\nD\\nE"}},
        {"separator_after_the_third", {u"A\\nB\\nC\\n", u"t"}, {u"t", {u"A", u"B", u"C"}, u"\\n"}},
        {"rest_behind_empty_lines", {u"\\n\\n\\nD", u"t"}, {u"t", {u"", u"", u""}, u"\\nD"}}};
    for (const Shown& c : cases) {
        EXPECT_EQ(FormOf(c.macro), c.form) << c.name;
        for (const TextEncoding encoding : {TextEncoding::Ansi, TextEncoding::Utf8}) {
            EXPECT_EQ(ComposeMacro(c.form, encoding).macro, c.macro) << c.name;
        }
    }
}

struct Typed {
    const char* name;
    MacroForm form;
    TextEncoding encoding;
    std::optional<Macro> macro;
    std::u16string refusalNames = {};  // what the refusal must name; empty when none is expected
};

MacroForm Form(std::u16string title, std::array<std::u16string, 3> lines,
               std::u16string rest = u"") {
    return {std::move(title), std::move(lines), std::move(rest)};
}

TEST(Composing, GivesTheMacroOrSaysWhichFieldStopsIt) {
    constexpr auto kCp932 = TextEncoding::Ansi;
    constexpr auto kUtf8 = TextEncoding::Utf8;
    const Typed cases[] = {
        {"empty_lines_at_the_end_dropped", Form(u"", {u"A", u"", u""}), kCp932, Macro(u"A", u"A")},
        {"a_rest_keeps_empty_lines", Form(u"t", {u"A"}, u"\\nD"), kCp932,
         Macro(u"A\\n\\n\\nD", u"t")},
        {"heart_kept_in_utf8", Form(u"♥", {u"好き♥"}), kUtf8, Macro(u"好き♥", u"♥")},
        {"heart_kept_in_utf16", Form(u"♥", {u"好き♥"}), TextEncoding::Utf16Be,
         Macro(u"好き♥", u"♥")},
        {"spaces_with_a_title", Form(u"空白", {u" \u3000"}), kUtf8, Macro(u" \u3000", u"空白")},
        {"no_chat_line", Form(u"見出し", {}), kCp932, std::nullopt, u"発言内容がありません"},
        {"tab_in_the_title", Form(u"a\tb", {u"x"}), kCp932, std::nullopt, u"タイトル"},
        {"separator_kept_in_a_title", Form(u"a\\nb", {u"x"}), kUtf8, Macro(u"x", u"a\\nb")},
        {"tab_in_a_line_told_before_a_separator", Form(u"", {u"x\ty\\nz"}), kUtf8, std::nullopt,
         u"1 行目にタブ"},
        {"line_feed_in_a_line", Form(u"", {u"x", u"y\nz"}), kUtf8, std::nullopt, u"2 行目"},
        {"carriage_return_in_the_rest", Form(u"", {u"x"}, u"\\ny\r"), kUtf8, std::nullopt,
         u"3 行目の続き"},
        {"separator_inside_one_line", Form(u"", {u"x", u"", u"y\\nz"}), kCp932, std::nullopt,
         u"3 行目"},
        {"cp932_lacks_each_named", Form(u"", {u"", u"♥😀♥"}), kCp932, std::nullopt,
         u"♥ (U+2665)、😀 (U+1F600)"},
        {"broken_surrogate", Form(u"", {u"a\xD83D"}), kUtf8, std::nullopt, u"(U+D83D)"},
        {"spaces_alone_need_a_title", Form(u"", {u" \u3000"}), kUtf8, std::nullopt, u"タイトル"}};
    for (const Typed& c : cases) {
        const ComposedMacro composed = ComposeMacro(c.form, c.encoding);
        EXPECT_EQ(composed.macro, c.macro) << c.name;
        EXPECT_EQ(composed.refusal.empty(), c.refusalNames.empty()) << c.name;
        EXPECT_NE(composed.refusal.find(c.refusalNames), std::u16string::npos)
            << c.name << ": " << ToUtf8(composed.refusal);
        // The dialog clears the refusal when the field it names changes.
        static constexpr std::u16string_view kFieldWords[] = {u"タイトル", u"1 行目", u"2 行目",
                                                              u"3 行目", u"3 行目の続き"};
        if (!composed.macro) {
            EXPECT_NE(composed.refusal.find(kFieldWords[static_cast<int>(composed.field)]),
                      std::u16string::npos)
                << c.name;
        }
    }
}

}  // namespace
}  // namespace kiv

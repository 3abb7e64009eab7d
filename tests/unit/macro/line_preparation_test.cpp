// The lines a message makes: where it is split and how the time is filled in.

#include "macro/line_preparation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "macro/default_macros.h"
#include "macro/macro_file_format.h"
#include "platform/ansi_text.h"
#include "platform/case_fold.h"
#include "platform/utf8.h"
#include "support/lines_before_tokens.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

using Lines = std::vector<std::u16string>;

TEST(Splitting, GivesTheLinesThatAreSent) {
    const std::pair<std::u16string, Lines> cases[] = {
        {u"", {}},
        {u"こんにちは", {u"こんにちは"}},
        {u"A\\nB", {u"A", u"B"}},
        {u"A\\nB\\nC\\nD", {u"A", u"B", u"C\\nD"}},  // a fourth part stays in the third
        {u"\\n\\nX", {u"X"}},
        {u"\\n\\n\\n", {u"\\n"}},  // the rest is sent as typed
        {u"A\\NB", {u"A\\NB"}},
        {u"A\nB", {u"A\nB"}},
        {u"A\\", {u"A\\"}},
        {u"表\\nソ", {u"表", u"ソ"}},  // split on characters, not on the byte 0x5C
        {u"<now>\\n at \\n<now>", {u"14:03:09", u" at ", u"14:03:09"}},
        {u"<NOW>\\n <now>\\nit is <now>", {u"<NOW>", u" <now>", u"it is <now>"}},  // whole lines
        {u"a\\nb\\n<now>\\n<now>", {u"a", u"b", u"<now>\\n<now>"}},  // in the rest, text
    };
    FillContext context{[] { return TimeOfDay{14, 3, 9}; }};
    for (const auto& [message, expected] : cases) {
        EXPECT_EQ(PrepareLines(message, context), expected) << ToUtf8(message);
    }
}

TEST(TimeToken, ReadsTheClockForEachLineAndPadsWithZeros) {
    int calls = 0;
    FillContext ticking{[&calls] {
        ++calls;
        return TimeOfDay{9, 5, 6 + calls};
    }};
    EXPECT_EQ(PrepareLines(u"<now>\\n<now>", ticking), (Lines{u"09:05:07", u"09:05:08"}));
    EXPECT_EQ(PrepareLines(u"no token", ticking), Lines{u"no token"});
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace kiv

namespace kiv {
namespace {

// A saying's context with every source known: 14:03:09 on 2026/12/11, the
// seventh saying, the last of each choice.
FillContext Saying(int* clipboardReads = nullptr) {
    return FillContext{
        .clock =
            [] {
                return TimeOfDay{14, 3, 9};
            },
        .today = [] { return 20798; },  // 2026/12/11
        .clipboard =
            [clipboardReads] {
                if (clipboardReads != nullptr) ++*clipboardReads;
                return std::u16string(u"コピー<date>\r\n二行目");
            },
        .count = [] { return std::uint64_t{7}; },
        .variable = [](std::u16string_view name) -> std::optional<std::u16string> {
            if (FoldCase(name) == u"hp") return u"120";
            if (name == u"相手") return u"<time>";
            return std::nullopt;
        },
        .choose = [](std::size_t choices) { return choices - 1; },
        .answers = {{u"誰に?", u"ともだち<count>"}},
    };
}

TEST(Tokens, AreFilledInOnEachLineAsTheGameReceivesThem) {
    const std::pair<std::u16string, Lines> cases[] = {
        {u"今は<time>、<date>です", {u"今は14:03:09、2026/12/11です"}},
        {u"#<count> と #<count>", {u"#7 と #7"}},
        {u"<rand:右|左|上>へ", {u"上へ"}},
        {u"<rand:a||>", {}},  // an empty choice is a choice; an empty line is not sent
        {u"[<clip>]", {u"[コピー<date>]"}},  // up to the line end; never read again
        {u"<ask:誰に?>へ", {u"ともだち<count>へ"}},
        {u"HP <hp>/<HP> <相手>", {u"HP 120/120 <time>"}},  // any case; a value is never read
        {u"<lt>date> <lt><lt>>", {u"<date> <<>"}},
        {u"<<date>> <date", {u"<2026/12/11> <date"}},
        // What is not a token stays as typed: the game may have its own.
        {u"<MP> <Date> <date > <rand:> <ask:> <wait3> <> <now>",
         {u"<MP> <Date> <date > <rand:> "
          u"<ask:> <wait3> <> <now>"}},
        {u"<time\\n>", {u"<time", u">"}},  // no token spans lines
        // A leading wait is taken off, then "<now>" is the whole line.
        {u"<wait.1><now>\\n<wait.0.5>\\nx<wait.2>", {u"14:03:09", u"x<wait.2>"}},
        {u"<wait.0>a\\n<wait.60.1>b\\n<wait.60>c", {u"<wait.0>a", u"<wait.60.1>b", u"c"}},
        {u"<wait.1.>a\\n<wait..5>b\\n<wait.0.5>", {u"<wait.1.>a", u"<wait..5>b"}},
    };
    for (const auto& [message, expected] : cases) {
        FillContext context = Saying();
        EXPECT_EQ(PrepareLines(message, context), expected) << ToUtf8(message);
    }
}

TEST(Tokens, TheClipboardAndTheCountAreReadOnceASayingAndOnlyWhenWanted) {
    int reads = 0;
    int counts = 0;
    FillContext context = Saying(&reads);
    context.count = [&counts] { return std::uint64_t(++counts); };
    EXPECT_EQ(PrepareLines(u"no clip, no count", context), Lines{u"no clip, no count"});
    EXPECT_EQ(reads + counts, 0);
    EXPECT_EQ(PrepareLines(u"<clip> #<count>\\n<clip> #<count> #<count>", context),
              (Lines{u"コピー<date> #1", u"コピー<date> #1 #1"}));
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(counts, 1);
}

// A saying reads its count and the clipboard before its first line goes:
// what changes during a wait does not reach a later line.
TEST(Tokens, ASayingReadsItsCountAndTheClipboardAhead) {
    int reads = 0;
    FillContext context = Saying(&reads);
    ReadAhead(u"<time>\\n<clip> #<count>", context);
    EXPECT_EQ(reads, 1);
    context.count = [] { return std::uint64_t{8}; };
    context.clipboard = [] { return std::u16string(u"later"); };
    EXPECT_EQ(PrepareLines(u"<time>\\n<clip> #<count>", context),
              (Lines{u"14:03:09", u"コピー<date> #7"}));
    FillContext none = Saying(&reads);
    ReadAhead(u"<lt>clip> <Clip>", none);
    EXPECT_EQ(reads, 1) << "no clipboard token, no reading";
}

TEST(Tokens, APreviewShowsTheFirstChoiceMarkedAndTheQuestion) {
    FillContext context = Saying();
    context.preview = true;
    context.answers.clear();
    EXPECT_EQ(LinesReceived(u"<rand:右|左> <ask:誰に?> #<count>\\n<wait.2.5>a\\n<wait.3>", context),
              (Lines{u"右(ランダム) [誰に?] #7", u"(2.5 秒後) a"}));
}

TEST(Tokens, QuestionsComeOnceEachAndOnlyACountedMacroCounts) {
    EXPECT_EQ(QuestionsOf(u"<ask:誰に?> <ask:何を?>\\n<ask:誰に?><ask:>\\n<ask:x>\\n<ask:y>"),
              (std::vector<std::u16string>{u"誰に?", u"何を?", u"x", u"y"}));
    EXPECT_TRUE(HoldsToken(u"a\\n#<count>", TokenKind::Count));
    EXPECT_FALSE(HoldsToken(u"<Count> <lt>count>", TokenKind::Count));
    EXPECT_FALSE(HoldsToken(u"<clip", TokenKind::Clip));
}

// Without a token the game receives what it always did: the default macros,
// the checker's files, and text the game may give meaning to.
TEST(Tokens, AMessageWithoutThemSendsWhatItSentBefore) {
    std::vector<std::u16string> messages;
    for (const Macro& macro : DefaultMacros()) messages.push_back(macro.Message());
    ASSERT_EQ(messages.size(), 88u);
    for (const auto& entry : std::filesystem::directory_iterator(KIVMACRO_CHECKER_FIXTURES)) {
        if (entry.path().extension() != ".txt" || entry.path().filename() == "tokens.txt") {
            continue;
        }
        const std::string bytes = test::ReadBytes(entry.path());
        try {
            ReadMacroFileLines(
                [&] {
                    return [rest = std::string_view(bytes)](char* buffer,
                                                            std::size_t capacity) mutable {
                        const std::size_t take = std::min(capacity, rest.size());
                        std::copy_n(rest.data(), take, buffer);
                        rest.remove_prefix(take);
                        return take;
                    };
                },
                [&] {},
                [&](const MacroFileLine& line) {
                    messages.emplace_back(line.text.substr(0, MessageEndIn(line.text)));
                });
        } catch (const NotMacroFileText&) {
        }
    }
    for (const char16_t* text : {u"<HP> <敵> <相手 > <<>> <now >", u"a<now>\\n<now>\\n\\n<now>"}) {
        messages.emplace_back(text);
    }
    const std::vector<std::u16string> names = {u"相手"};
    for (const std::u16string& message : messages) {
        ASSERT_FALSE(test::MayHoldTokens(message, names)) << ToUtf8(message);
        FillContext context = Saying();
        context.variable = [](std::u16string_view name) -> std::optional<std::u16string> {
            if (name == u"相手") return u"x";
            return std::nullopt;
        };
        const Lines lines = PrepareLines(message, context);
        EXPECT_EQ(lines, test::LinesBeforeTokens(message, u"14:03:09")) << ToUtf8(message);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(ToAnsi(lines[i]), ToAnsi(test::LinesBeforeTokens(message, u"14:03:09")[i]));
        }
    }
}

}  // namespace
}  // namespace kiv

#include <gtest/gtest.h>

#include <ostream>

#include "macro/line_preparation.h"

namespace kiv {
namespace {

using Lines = std::vector<std::u16string>;

Clock FixedClock(TimeOfDay time) {
    return [time] { return time; };
}

struct Case {
    const char* name;
    std::u16string message;
    Lines expected;
};
// Names the case in test output instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class Splitting : public testing::TestWithParam<Case> {};

TEST_P(Splitting, GivesTheLinesThatAreSent) {
    EXPECT_EQ(PrepareLines(GetParam().message, FixedClock({14, 3, 9})), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, Splitting,
    testing::Values(Case{"empty", u"", {}},                            //
                    Case{"one_line", u"こんにちは", {u"こんにちは"}},  //
                    Case{"two_lines", u"A\\nB", {u"A", u"B"}},         //
                    Case{"fourth_part_stays_in_third", u"A\\nB\\nC\\nD", {u"A", u"B", u"C\\nD"}},
                    Case{"leading_separators", u"\\n\\nX", {u"X"}},  //
                    Case{"trailing_separator", u"X\\n", {u"X"}},     //
                    Case{"adjacent_separators", u"A\\n\\nB", {u"A", u"B"}},
                    Case{"only_separators", u"\\n\\n\\n", {u"\\n"}},  // the rest is sent as typed
                    Case{"upper_case_n_is_text", u"A\\NB", {u"A\\NB"}},  //
                    Case{"control_newline_is_text", u"A\nB", {u"A\nB"}},
                    Case{"lone_backslash_at_end", u"A\\", {u"A\\"}},  //
                    Case{"split_is_on_characters", u"表\\nソ", {u"表", u"ソ"}},
                    Case{"time_token", u"<now>", {u"14:03:09"}},
                    Case{"time_token_in_each_line",
                         u"<now>\\n at \\n<now>",
                         {u"14:03:09", u" at ", u"14:03:09"}},
                    Case{"time_token_only_whole_line",
                         u"<NOW>\\n <now>\\nit is <now>",
                         {u"<NOW>", u" <now>", u"it is <now>"}},
                    Case{"time_token_inside_rest_is_text",
                         u"a\\nb\\n<now>\\n<now>",
                         {u"a", u"b", u"<now>\\n<now>"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TimeToken, ReadsTheClockForEachLineAndPadsWithZeros) {
    int calls = 0;
    const Clock ticking = [&calls] {
        ++calls;
        return TimeOfDay{9, 5, 6 + calls};
    };
    EXPECT_EQ(PrepareLines(u"<now>\\n<now>", ticking), (Lines{u"09:05:07", u"09:05:08"}));
    EXPECT_EQ(PrepareLines(u"no token", ticking), Lines{u"no token"});
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(FormatTimeOfDay({23, 59, 0}), u"23:59:00");
    EXPECT_EQ(FormatTimeOfDay({0, 0, 0}), u"00:00:00");
}

}  // namespace
}  // namespace kiv

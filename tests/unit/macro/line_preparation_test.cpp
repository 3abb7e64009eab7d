// The lines a message makes: where it is split and how the time is filled in.

#include "macro/line_preparation.h"

#include <gtest/gtest.h>

#include "platform/utf8.h"

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

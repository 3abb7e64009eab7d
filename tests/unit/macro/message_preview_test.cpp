// The preview a hovered title shows: the lines the game will get.

#include "macro/message_preview.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TEST(MessagePreview, ShowsTheLinesTheGameWillGet) {
    FillContext clock{[] { return TimeOfDay{14, 3, 9}; }};
    EXPECT_EQ(MessagePreview(u"こんにちは\\n\\n<now>\\nほか\\nまだ", u"挨拶", clock),
              u"こんにちは\r\n<now>\\nほか\\nまだ")
        << "the third line takes the rest";
    EXPECT_EQ(MessagePreview(u"今\\n<now>\\nです", u"時刻", clock), u"今\r\n14:03:09\r\nです")
        << "the time, as the macro dialog shows it";
    EXPECT_EQ(MessagePreview(u"5 €", u"x", clock), u"5 ?") << "as CP932 carries it";
    EXPECT_EQ(MessagePreview(u"same", u"same", clock), std::nullopt);
    EXPECT_EQ(MessagePreview(u"\\n", u"empty", clock), std::nullopt);
}

}  // namespace
}  // namespace kiv

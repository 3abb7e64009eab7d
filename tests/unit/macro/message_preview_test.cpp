// The preview a hovered title shows: the lines the game will get.

#include "macro/message_preview.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TEST(MessagePreview, ShowsTheLinesTheGameWillGet) {
    EXPECT_EQ(MessagePreview(u"こんにちは\\n\\n<now>\\nほか\\nまだ", u"挨拶"),
              u"こんにちは\r\n<now>\\nほか\\nまだ");
    EXPECT_EQ(MessagePreview(u"5 €", u"x"), u"5 ?") << "as CP932 carries it";
    EXPECT_EQ(MessagePreview(u"same", u"same"), std::nullopt);
    EXPECT_EQ(MessagePreview(u"\\n", u"empty"), std::nullopt);
}

}  // namespace
}  // namespace kiv

// UTF-8 both ways, malformed bytes marked rather than dropped.

#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace kiv {
namespace {

TEST(Utf8, RoundTripsAndMarksMalformedBytes) {
    const std::u16string text = u"表ソa\U0001F600\u00E9";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    // A stray continuation byte, an overlong "/", a cut-off sequence, an encoded surrogate.
    EXPECT_EQ(FromUtf8("\x80z\xC0\xAF\xE8\xA1\xED\xA0\x80"), u"\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD");
}

}  // namespace
}  // namespace kiv

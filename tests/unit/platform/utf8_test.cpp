// UTF-8 both ways, malformed bytes marked rather than dropped.

#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace kiv {
namespace {

// The decoder's ranges, at their edges: an overlong form, a surrogate or a code point past U+10FFFF
// is only ever U+FFFD; the first valid ones come through.
TEST(Utf8, RoundTripsAndTakesExactlyTheCodePointsUtf8Allows) {
    const std::u16string text = u"表ソa\U0001F600\u00E9";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    // A stray continuation byte, an overlong "/", a cut-off sequence, an encoded surrogate.
    EXPECT_EQ(FromUtf8("\x80z\xC0\xAF\xE8\xA1\xED\xA0\x80"), u"\uFFFDz\uFFFD\uFFFD\uFFFD\uFFFD");
    const std::pair<std::string, std::u16string> valid[] = {{"\xE0\xA0\x80", u"\u0800"},
                                                            {"\xED\x9F\xBF", u"\uD7FF"},
                                                            {"\xEE\x80\x80", u"\uE000"},
                                                            {"\xF0\x90\x80\x80", u"\U00010000"},
                                                            {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}};
    for (const auto& [bytes, text] : valid) {
        EXPECT_EQ(FromUtf8(bytes), text) << testing::PrintToString(bytes);
        EXPECT_EQ(ClassifyUtf8(bytes), Utf8Form::MultiByte) << testing::PrintToString(bytes);
    }
    for (const std::string bytes :
         {"\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xED\xA0\x80", "\xED\xBF\xBF",
          "\xC1\xBF", "\xF5\x80\x80\x80"}) {
        const std::u16string decoded = FromUtf8(bytes);
        EXPECT_FALSE(decoded.empty());
        EXPECT_EQ(decoded.find_first_not_of(u'\uFFFD'), std::u16string::npos)
            << testing::PrintToString(bytes);
        EXPECT_EQ(ClassifyUtf8(bytes), Utf8Form::Malformed) << testing::PrintToString(bytes);
    }
}

// The quick classification against the decoder, sequence by sequence: every lead byte with the
// continuation bytes at the edges of the allowed ranges, cut off at the end or followed by ASCII,
// behind enough ASCII to be skipped eight bytes at a time.
TEST(Utf8, ClassifiesEverySequenceAsTheDecoderReadsIt) {
    const std::string edges = {'\x41', '\x80', '\x8F', '\x90', '\x9F', '\xA0', '\xBF', '\xC0'};
    const std::string lastEdges = {'\x41', '\x80', '\xBF', '\xC0'};
    std::u16string decoded;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (const char second : edges) {
            for (const char third : edges) {
                for (const char fourth : lastEdges) {
                    const std::string sequence = {static_cast<char>(lead), second, third, fourth};
                    // A shorter cut once only: where all it cuts off is ASCII.
                    const std::size_t shortest = fourth != '\x41' ? 4 : third != '\x41' ? 3 : 1;
                    for (std::size_t length = shortest; length <= 4; ++length) {
                        const std::string cut = "0123456789" + sequence.substr(0, length);
                        for (const std::string& text : {cut, cut + "abcdefghij"}) {
                            for (const bool atEnd : {false, true}) {
                                decoded.clear();
                                ASSERT_EQ(ClassifyUtf8(text, atEnd),
                                          AppendFromWellFormedUtf8(text, decoded, atEnd))
                                    << testing::PrintToString(text) << " atEnd " << atEnd;
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace kiv

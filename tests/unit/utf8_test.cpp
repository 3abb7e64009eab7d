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

// The quick classification against the decoder, sequence by sequence: every
// lead byte with the continuation bytes at the edges of the allowed ranges,
// cut off at the end or followed by ASCII, behind enough ASCII to be skipped
// eight bytes at a time.
TEST(Utf8, ClassifiesEverySequenceAsTheDecoderReadsIt) {
    const std::string edges = {'\x41', '\x80', '\x8F', '\x90', '\x9F', '\xA0', '\xBF', '\xC0'};
    const std::string lastEdges = {'\x41', '\x80', '\xBF', '\xC0'};
    std::u16string decoded;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (const char second : edges) {
            for (const char third : edges) {
                for (const char fourth : lastEdges) {
                    const std::string sequence = {static_cast<char>(lead), second, third, fourth};
                    for (std::size_t length = 1; length <= 4; ++length) {
                        // A shorter cut once only.
                        if ((length < 4 && fourth != '\x41') || (length < 3 && third != '\x41')) {
                            continue;
                        }
                        for (const std::string& text :
                             {"0123456789" + sequence.substr(0, length),
                              "0123456789" + sequence.substr(0, length) + "abcdefghij"}) {
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

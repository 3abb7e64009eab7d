// Text conversions to and from CP932, checked natively against iconv and under Wine against the
// real Win32 functions, which must give the same bytes.

#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/utf8.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

TEST(Cp932, ConvertsBothWays) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", ""},
        {u"$1-1\t<now>", "$1-1\t<now>"},
        {u"\\n~", "\\n~"},  // backslash and tilde stay ASCII
        // Trail byte 0x5C: a byte-level split at "\n" would cut these apart.
        {u"表ソ能十", "\x95\x5c\x83\x5c\x94\x5c\x8f\x5c"},
        {u"ﾌｧｲﾙ", "\xcc\xa7\xb2\xd9"},
        {u"ヒット１(自分)", "\x83\x71\x83\x62\x83\x67\x82\x50(\x8e\xa9\x95\xaa)"},
        {u"～∥－￢", "\x81\x60\x81\x61\x81\x7c\x81\xca"},  // Microsoft's variants
        {u"①ⅰ纊", "\x87\x40\xfa\x40\xfa\x5c"},             // NEC's and IBM's extensions
        {u"a\u0416b", "a\x84Gb"},                          // Cyrillic
        {u"\uE000", "\xf0\x40"},                           // the user-defined area
        {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
        // Bytes no character of CP932 has, as Windows' own table reads them: read
        // and written back, they must survive.
        {u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3", "\x80\xa0\xfd\xfe\xff"}};
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(ToAnsi(text), bytes) << ToUtf8(text);
        EXPECT_EQ(ToAnsiExactly(text), bytes) << ToUtf8(text);
        EXPECT_EQ(CharactersAnsiLacks(text), std::vector<char32_t>{}) << ToUtf8(text);
        EXPECT_EQ(FromAnsi(bytes), text) << ToUtf8(text);
    }
}

TEST(FromAnsi, NeverFailsOnBytesThatAreNotCp932) {
    EXPECT_EQ(FromAnsi("\x81"), u"\u30FB");                    // lead byte at the end
    EXPECT_EQ(FromAnsi("\x81\ra"), u"\u30FBa");                // bad trail byte goes with it
    EXPECT_EQ(FromAnsi("\x85\x40\x81\x7f"), u"\u30FB\u30FB");  // unassigned pairs
    std::u16string text = u"前";
    AppendFromAnsi("\x8c\xe3", text);
    EXPECT_EQ(text, u"前後") << "appended to what is there";
}

// In text, what CP932 lacks becomes "?". Windows' default conversion maps some by "best fit" to
// another character (〜 to ～, é to e, ¥ to \): as a path, that names another file.
TEST(ToAnsiExactly, GivesNothingForWhatWouldNotComeBackAsItWasWhereToAnsiGivesQuestionMarks) {
    EXPECT_EQ(ToAnsi(u"x\u0E01y"), "x?y");   // Thai
    EXPECT_EQ(ToAnsi(u"\U0001F600"), "??");  // one per surrogate half
    EXPECT_EQ(ToAnsi(std::u16string{u'\xD800', u'z'}), "?z");
    for (const char16_t* text : {u"挨拶〜定型.txt", u"Café", u"¥100", u"♥", u"\U0001F600"}) {
        EXPECT_EQ(ToAnsiExactly(text), std::nullopt) << ToUtf8(text);
    }
    EXPECT_EQ(ToAnsiExactly(std::u16string{u'a', u'\xD800'}), std::nullopt) << "a lone half";
    EXPECT_EQ(CharactersAnsiLacks(u"a〜b♥表\U0001F600♥é"),
              (std::vector<char32_t>{0x301C, 0x2665, 0x1F600, 0xE9}));
}

}  // namespace
}  // namespace kiv

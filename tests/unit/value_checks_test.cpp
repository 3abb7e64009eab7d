// The checks every stored value passes before the tool trusts it, and the conversions between the
// stored words and numbers.

#include "settings/value_checks.h"

#include <gtest/gtest.h>

#include <string>

#include "app/macro_hotkeys.h"
#include "platform/utf8.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace kiv {
namespace {

struct Check {
    std::u16string text;
    bool isInt;  // IsLng always agrees
    bool isSng;
    bool isBool;
};
TEST(ValueChecks, AcceptWhatTheyShould) {
    const Check checks[] = {
        // The 16-bit range, after rounding half to even.
        Check{u"32767", true, true, true}, Check{u"32768", false, false, true},
        Check{u"-32768", true, true, true}, Check{u"-32769", false, false, true},
        Check{u"32767.25", true, true, true}, Check{u"32767.5", false, false, true},
        Check{u"32767.75", false, false, true}, Check{u"-32768.5", true, true, true},
        Check{u"2147483647", false, false, true}, Check{u"0.5", true, true, true},
        // A float's precision rounds 32767.4999999 up to 32767.5 first.
        Check{u"32767.4999999", true, false, true},
        // The grammar: spaces, sign, digits, fraction; nothing else.
        Check{u" 12 ", true, true, true}, Check{u"+5", true, true, true},
        Check{u"5.", true, true, true}, Check{u".5", true, true, true},
        Check{u"", false, false, false}, Check{u"   ", false, false, false},
        Check{u"-", false, false, false}, Check{u".", false, false, false},
        Check{u"1 2", false, false, false}, Check{u"1e3", false, false, false},
        Check{u"1,200", false, false, false}, Check{u"&H10", false, false, false},
        Check{u"0x10", false, false, false}, Check{u"１２", false, false, false},
        Check{u"1" + std::u16string(400, u'0'), false, false, false},
        // Words: only True and False, in any case.
        Check{u"true", false, false, true}, Check{u"FALSE", false, false, true},
        Check{u"yes", false, false, false}};
    for (const Check& check : checks) {
        SCOPED_TRACE(ToUtf8(check.text.substr(0, 16)));
        EXPECT_EQ(IsInt(check.text), check.isInt);
        EXPECT_EQ(IsLng(check.text), check.isInt);
        EXPECT_EQ(IsSng(check.text), check.isSng);
        EXPECT_EQ(IsBool(check.text), check.isBool);
    }
}

TEST(ValueConversions, RoundHalfToEvenAndReadWords) {
    EXPECT_EQ(ToLng(u"12.5"), 12);
    EXPECT_EQ(ToLng(u"13.5"), 14);
    EXPECT_EQ(ToLng(u"-1200"), -1200);
    EXPECT_EQ(ToSng(u"0.5"), 0.5f);
    EXPECT_FALSE(ToBool(u" False"));
    EXPECT_FALSE(ToBool(u"0"));
    EXPECT_TRUE(ToBool(u"2.5"));
    EXPECT_TRUE(ToBool(u"tRUE"));
}

}  // namespace
}  // namespace kiv

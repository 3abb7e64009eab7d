// The checks every stored value passes before the tool trusts it, and words read as Booleans.

#include "settings/value_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/utf8.h"

namespace kiv {
namespace {

// The text, then what IsInt (and IsLng, which always agrees), IsSng and IsBool say of it.
using Check = std::tuple<std::u16string, bool, bool, bool>;
TEST(ValueChecks, AcceptWhatTheyShouldAndReadWordsAsBooleans) {
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
    for (const auto& [text, isInt, isSng, isBool] : checks) {
        EXPECT_EQ(std::tuple(IsInt(text), IsLng(text), IsSng(text), IsBool(text)),
                  std::tuple(isInt, isInt, isSng, isBool))
            << ToUtf8(text.substr(0, 16));
    }
    // Words as Booleans; numbers' rounding half to even is seen through the settings store
    // (ini_file_test).
    EXPECT_FALSE(ToBool(u" False"));
    EXPECT_FALSE(ToBool(u"0"));
    EXPECT_TRUE(ToBool(u"2.5"));
    EXPECT_TRUE(ToBool(u"tRUE"));
}

}  // namespace
}  // namespace kiv

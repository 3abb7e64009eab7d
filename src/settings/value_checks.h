#pragma once

// The text checks of setting values and the conversions they guard; one number
// grammar serves all of them:
//
//   spaces, optional "+" or "-", digits, optional "." and digits, spaces
//
// with at least one digit ("5.", ".5" and "5" are numbers), "." as the decimal
// separator (the Japanese locale's), and spaces meaning U+0020 or TAB. Rejected
// because nobody types them into a window position: exponents ("1e3"),
// thousands separators ("1,200"), hexadecimal or octal ("&H10", "0x10"),
// currency signs, full-width digits, and the empty or blank text.
//
// A fraction rounds to the nearest integer, a half to the even neighbour.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kiv {

std::optional<double> ParseSettingNumber(std::u16string_view text);

// A number that rounds into -32768..32767 (the range every numeric check keeps).
bool IsInt(std::u16string_view text);
bool IsLng(std::u16string_view text);
// The same, after the number is first made a single-precision float.
bool IsSng(std::u16string_view text);
// "True" or "False" in any letter case, or any number (zero is false).
bool IsBool(std::u16string_view text);

// A number that rounds into the 32-bit range, rounded; nothing otherwise. For
// values the 16-bit checks would cut short (screen positions on wide desktops).
std::optional<std::int32_t> ParseInt32(std::u16string_view text);

// Conversions of texts the matching check accepted.
std::int32_t ToLng(std::u16string_view text);
float ToSng(std::u16string_view text);
bool ToBool(std::u16string_view text);

}  // namespace kiv

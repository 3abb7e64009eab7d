#include "settings/value_checks.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/case_fold.h"

namespace kiv {
namespace {

bool IsNumberSpace(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view TrimNumberSpaces(std::u16string_view text) {
    while (!text.empty() && IsNumberSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsNumberSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// std::nearbyint rounds a half to the even neighbour in the default rounding mode.
bool RoundsIntoInt16(double value) {
    const double rounded = std::nearbyint(value);
    return rounded >= -32768.0 && rounded <= 32767.0;
}

std::optional<bool> BooleanWord(std::u16string_view text) {
    const std::u16string folded = FoldCase(TrimNumberSpaces(text));
    if (folded == u"true") return true;
    if (folded == u"false") return false;
    return std::nullopt;
}

}  // namespace

std::optional<double> ParseSettingNumber(std::u16string_view text) {
    text = TrimNumberSpaces(text);
    std::string ascii;
    ascii.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') ascii += '-';
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) ascii += static_cast<char>(text[i]);
    if (i < text.size() && text[i] == u'.') {
        ascii += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
            ascii += static_cast<char>(text[i]);
        }
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

bool IsInt(std::u16string_view text) {
    const auto number = ParseSettingNumber(text);
    return number && RoundsIntoInt16(*number);
}

bool IsLng(std::u16string_view text) {
    // Rounded once into 32 bits, then narrowed to 16: the 16-bit range is what holds.
    return IsInt(text);
}

bool IsSng(std::u16string_view text) {
    const auto number = ParseSettingNumber(text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max()) return false;
    return RoundsIntoInt16(static_cast<float>(*number));
}

bool IsBool(std::u16string_view text) {
    return BooleanWord(text).has_value() || ParseSettingNumber(text).has_value();
}

std::optional<std::int32_t> ParseInt32(std::u16string_view text) {
    const auto number = ParseSettingNumber(text);
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ToLng(std::u16string_view text) {
    return ParseInt32(text).value_or(0);
}

float ToSng(std::u16string_view text) {
    return static_cast<float>(ParseSettingNumber(text).value_or(0));
}

bool ToBool(std::u16string_view text) {
    if (const auto word = BooleanWord(text)) return *word;
    return ParseSettingNumber(text).value_or(0) != 0;
}

}  // namespace kiv

#pragma once

// Keys numbered from 1 in a section of their own ("File1", "File2"...), as
// the settings' lists are kept. Portable.

#include <cstddef>
#include <string>
#include <string_view>

namespace kiv {

inline std::u16string Digits(std::size_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

inline std::u16string Numbered(std::u16string_view key, std::size_t number) {
    return std::u16string(key) + Digits(number);
}

}  // namespace kiv

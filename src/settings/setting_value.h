#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace kiv {

// A typed setting: text, 32-bit integer, single-precision float or Boolean.
using SettingValue = std::variant<std::u16string, std::int32_t, float, bool>;

}  // namespace kiv

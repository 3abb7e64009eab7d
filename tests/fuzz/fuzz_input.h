#pragma once
// Helpers shared by the fuzz targets: the input as UTF-16 text, and a scratch
// file for the readers that only take a file name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace kiv::fuzz {

// Two bytes per unit, so that every UTF-16 value (lone surrogates included) is reachable.
inline std::u16string AsUtf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return text;
}

inline std::string_view AsBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// One scratch file for the whole run, overwritten by each input.
inline const test::TempDir& ScratchDir() {
    static const test::TempDir dir;
    return dir;
}

// Says which property failed before libFuzzer records the input.
inline void Check(bool holds, int line) {
    if (holds) return;
    std::fprintf(stderr, "property at line %d does not hold\n", line);
    std::abort();
}

}  // namespace kiv::fuzz

#define FUZZ_CHECK(condition) ::kiv::fuzz::Check((condition), __LINE__)

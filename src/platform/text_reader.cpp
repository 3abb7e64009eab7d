#include "platform/text_reader.h"

#include <algorithm>

namespace kiv {

bool MayHaveReading(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) {
        return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
               (c >= 0xF900 && c <= 0xFAFF) || c == 0x3005 || c == 0x3006;
    });
}

}  // namespace kiv

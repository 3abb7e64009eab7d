#include "platform/text_reader.h"

#include <algorithm>

namespace kiv {

bool MayHaveReading(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) {
        const bool kana = (c >= 0x3040 && c <= 0x30FF) || (c >= 0xFF61 && c <= 0xFF9F);
        return c >= 0x80 && !kana;
    });
}

}  // namespace kiv

#include "platform/ansi_text.h"

#include <algorithm>

namespace kiv {

std::vector<char32_t> CharactersAnsiLacks(std::u16string_view text) {
    std::vector<char32_t> lacking;
    for (std::size_t i = 0; i < text.size();) {
        // A surrogate pair is one character, and CP932 holds none.
        const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] < 0xDC00 &&
                          text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        const std::size_t length = pair ? 2 : 1;
        const char32_t code =
            pair ? 0x10000 + ((char32_t{text[i]} - 0xD800) << 10) + (text[i + 1] - 0xDC00)
                 : char32_t{text[i]};
        if (std::find(lacking.begin(), lacking.end(), code) == lacking.end() &&
            !ToAnsiExactly(text.substr(i, length))) {
            lacking.push_back(code);
        }
        i += length;
    }
    return lacking;
}

}  // namespace kiv

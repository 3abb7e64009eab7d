#include "platform/ansi_text.h"

#include <algorithm>

#include "platform/platform_texts.h"

namespace kiv {

namespace {

template <typename ExactForm>
std::vector<char32_t> CharactersLacking(std::u16string_view text, ExactForm exactForm) {
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
            !exactForm(text.substr(i, length))) {
            lacking.push_back(code);
        }
        i += length;
    }
    return lacking;
}

}  // namespace

std::vector<char32_t> CharactersAnsiLacks(std::u16string_view text) {
    return CharactersLacking(text, ToAnsiExactly);
}

std::vector<char32_t> CharactersFileCodePageLacks(std::u16string_view text) {
    return CharactersLacking(text, ToFileCodePageExactly);
}

std::u16string FileCodePageName() {
    const unsigned codePage = FileCodePage();
    if (codePage == 932) return u"Shift_JIS (CP932)";
    const std::string digits = std::to_string(codePage);
    return Fill(texts::kCodePage, {std::u16string(digits.begin(), digits.end())});
}

std::u16string CodePointText(char32_t code) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string hex;
    for (char32_t rest = code; rest != 0 || hex.size() < 4; rest >>= 4) {
        hex.insert(hex.begin(), kDigits[rest & 0xF]);
    }
    return u"U+" + hex;
}

std::u16string NameCharacters(const std::vector<char32_t>& characters) {
    std::u16string names;
    for (const char32_t c : characters) {
        if (!names.empty()) names += u"、";
        if (c >= 0x10000) {
            names += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            names += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            names += static_cast<char16_t>(c);
        }
        names += u" (" + CodePointText(c) + u")";
    }
    return names;
}

}  // namespace kiv

#pragma once

// Letter case folding for names that are found without regard to case
// (settings sections and keys). Covers the letters a Japanese user's INI file
// can hold: ASCII, full-width Latin, Latin-1, Greek and Cyrillic. Other
// characters, kana and kanji among them, have no case and stay as they are.

#include <string>
#include <string_view>

namespace kiv {

constexpr char16_t FoldCase(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) ||     // Latin-1 capitals, not ×
        (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||  // Greek
        (c >= 0x410 && c <= 0x42F) ||                // Cyrillic
        (c >= 0xFF21 && c <= 0xFF3A)) {              // full-width Latin
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);  // Cyrillic Ѐ-Џ
    return c;
}

inline std::u16string FoldCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = FoldCase(c);
    return folded;
}

inline bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

}  // namespace kiv

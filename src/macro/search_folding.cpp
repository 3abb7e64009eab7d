#include "macro/search_folding.h"

namespace kiv {
namespace {

// U+FF61..U+FF65: the half-width punctuation of Japanese.
constexpr std::u16string_view kHalfWidthPunctuation = u"。「」、・";
// U+FF66..U+FF9D: half-width katakana, as the full-width ones they stand for.
constexpr std::u16string_view kHalfWidthKatakana =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    u"ヤユ"
    u"ヨラリルレロワン";

constexpr char16_t kVoicedMark = 0x309B;       // ゛, as ﾞ folds
constexpr char16_t kSemiVoicedMark = 0x309C;   // ゜, as ﾟ folds
constexpr char16_t kCombiningVoiced = 0x3099;  // how some programs store が
constexpr char16_t kCombiningSemiVoiced = 0x309A;

// ぢ and づ sound as じ and ず, and most players type them so.
char16_t AsHeard(char16_t kana) {
    if (kana == u'ぢ') return u'じ';
    if (kana == u'づ') return u'ず';
    return kana;
}

char16_t FoldOne(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c >= 0xFF01 && c <= 0xFF5E) return FoldOne(static_cast<char16_t>(c - 0xFEE0));
    if (c == 0x3000) return u' ';
    if (c >= 0xFF61 && c <= 0xFF65) return kHalfWidthPunctuation[c - 0xFF61];
    if (c >= 0xFF66 && c <= 0xFF9D) return FoldOne(kHalfWidthKatakana[c - 0xFF66]);
    if (c == 0xFF9E) return kVoicedMark;
    if (c == 0xFF9F) return kSemiVoicedMark;
    // Katakana to hiragana: ァ..ヶ, and the iteration marks ヽヾ.
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) {
        return AsHeard(static_cast<char16_t>(c - 0x60));
    }
    return AsHeard(c);
}

// The kana `kana` (hiragana) with a voiced or semi-voiced mark, or 0 where
// none exists: the mark then stays a character of its own.
char16_t Marked(char16_t kana, bool semi) {
    if (!semi && kana == u'う') return u'ゔ';
    // か..ち (every other code) and つてと: the voiced form is the next code.
    const bool kaToTo = (kana >= u'か' && kana <= u'ち' && (kana - u'か') % 2 == 0) ||
                        kana == u'つ' || kana == u'て' || kana == u'と';
    if (!semi && kaToTo) return static_cast<char16_t>(kana + 1);
    // はひふへほ: voiced next, semi-voiced after it.
    if (kana >= u'は' && kana <= u'ほ' && (kana - u'は') % 3 == 0) {
        return static_cast<char16_t>(kana + (semi ? 2 : 1));
    }
    return 0;
}

}  // namespace

std::u16string FoldForSearch(std::u16string_view text) {
    std::u16string folded;
    folded.reserve(text.size());
    for (const char16_t c : text) {
        const char16_t one = FoldOne(c);
        const bool voiced = one == kVoicedMark || one == kCombiningVoiced;
        const bool semi = one == kSemiVoicedMark || one == kCombiningSemiVoiced;
        if ((voiced || semi) && !folded.empty()) {
            if (const char16_t marked = Marked(folded.back(), semi); marked != 0) {
                folded.back() = AsHeard(marked);
                continue;
            }
        }
        folded += one;
    }
    return folded;
}

}  // namespace kiv

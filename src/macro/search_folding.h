#pragma once

// Text as finding a macro compares it. What a Japanese player does not mean
// when typing is folded away, by one table of this file, so that a query
// finds the same macros on every system and under every locale (no system
// comparison flags): the case of ASCII letters; full-width and half-width
// forms of ASCII, digits and punctuation; katakana and hiragana; half-width
// katakana with their separate voiced marks (ｶﾞ, ガ and が are one); the
// long-vowel mark's width; ぢ and づ, which sound as じ and ず. Kanji and
// everything else stand as they are.
// Portable.

#include <string>
#include <string_view>

namespace kiv {

std::u16string FoldForSearch(std::u16string_view text);

}  // namespace kiv

#pragma once

// A word of ASCII letters read as the kana it spells when typed with a
// Japanese input method, so that "arigatou" finds ありがとう. Both common
// spellings are taken (Hepburn shi, tsu, chi, fu, ja; Kunrei si, tu, ti, hu,
// zya), as are the input method's own ways: "nn" and "n'" for ん, ん before
// a consonant from a single "n", a doubled consonant (and "tch") for っ, "-"
// for ー, and "x" or "l" before a kana for its small form (xtu, ltu for っ).
// The kana are hiragana, as search_folding.h folds text. Portable.

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

struct RomajiReading {
    std::u16string kana;
    // The word ends part-way into a syllable ("arigat"): the kana that part
    // may begin (た, ち, つ, て, と, っ); empty when it ends on a whole one.
    std::u16string nextMayBe;
};

// Each way the word reads (Hepburn writes おんやく "onyaku", which an input
// method reads おにゃく: both are given); none when the word is not romaji
// (a letter no syllable goes on with).
std::vector<RomajiReading> ReadRomaji(std::string_view word);

}  // namespace kiv

#include "macro/romaji.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kiv {
namespace {

struct Syllable {
    std::string_view romaji;
    std::u16string_view kana;
};

// Every spelling a Japanese input method takes for a kana or two, Hepburn
// and Kunrei alike; a word is read by the longest spelling at each point.
constexpr std::array kSyllables = std::to_array<Syllable>({
    {"a", u"あ"},     {"i", u"い"},     {"u", u"う"},     {"e", u"え"},     {"o", u"お"},
    {"ka", u"か"},    {"ki", u"き"},    {"ku", u"く"},    {"ke", u"け"},    {"ko", u"こ"},
    {"kya", u"きゃ"}, {"kyu", u"きゅ"}, {"kye", u"きぇ"}, {"kyo", u"きょ"}, {"ga", u"が"},
    {"gi", u"ぎ"},    {"gu", u"ぐ"},    {"ge", u"げ"},    {"go", u"ご"},    {"gya", u"ぎゃ"},
    {"gyu", u"ぎゅ"}, {"gyo", u"ぎょ"}, {"sa", u"さ"},    {"si", u"し"},    {"shi", u"し"},
    {"su", u"す"},    {"se", u"せ"},    {"so", u"そ"},    {"sha", u"しゃ"}, {"shu", u"しゅ"},
    {"she", u"しぇ"}, {"sho", u"しょ"}, {"sya", u"しゃ"}, {"syu", u"しゅ"}, {"sye", u"しぇ"},
    {"syo", u"しょ"}, {"za", u"ざ"},    {"zi", u"じ"},    {"ji", u"じ"},    {"zu", u"ず"},
    {"ze", u"ぜ"},    {"zo", u"ぞ"},    {"ja", u"じゃ"},  {"ju", u"じゅ"},  {"je", u"じぇ"},
    {"jo", u"じょ"},  {"zya", u"じゃ"}, {"zyu", u"じゅ"}, {"zye", u"じぇ"}, {"zyo", u"じょ"},
    {"jya", u"じゃ"}, {"jyu", u"じゅ"}, {"jyo", u"じょ"}, {"ta", u"た"},    {"ti", u"ち"},
    {"chi", u"ち"},   {"tu", u"つ"},    {"tsu", u"つ"},   {"te", u"て"},    {"to", u"と"},
    {"cha", u"ちゃ"}, {"chu", u"ちゅ"}, {"che", u"ちぇ"}, {"cho", u"ちょ"}, {"tya", u"ちゃ"},
    {"tyu", u"ちゅ"}, {"tye", u"ちぇ"}, {"tyo", u"ちょ"}, {"cya", u"ちゃ"}, {"cyu", u"ちゅ"},
    {"cyo", u"ちょ"}, {"tsa", u"つぁ"}, {"thi", u"てぃ"}, {"thu", u"てゅ"}, {"da", u"だ"},
    {"di", u"ぢ"},    {"du", u"づ"},    {"de", u"で"},    {"do", u"ど"},    {"dya", u"ぢゃ"},
    {"dyu", u"ぢゅ"}, {"dyo", u"ぢょ"}, {"dhi", u"でぃ"}, {"dhu", u"でゅ"}, {"na", u"な"},
    {"ni", u"に"},    {"nu", u"ぬ"},    {"ne", u"ね"},    {"no", u"の"},    {"nya", u"にゃ"},
    {"nyu", u"にゅ"}, {"nye", u"にぇ"}, {"nyo", u"にょ"}, {"nn", u"ん"},    {"n'", u"ん"},
    {"ha", u"は"},    {"hi", u"ひ"},    {"hu", u"ふ"},    {"fu", u"ふ"},    {"he", u"へ"},
    {"ho", u"ほ"},    {"hya", u"ひゃ"}, {"hyu", u"ひゅ"}, {"hye", u"ひぇ"}, {"hyo", u"ひょ"},
    {"fa", u"ふぁ"},  {"fi", u"ふぃ"},  {"fe", u"ふぇ"},  {"fo", u"ふぉ"},  {"ba", u"ば"},
    {"bi", u"び"},    {"bu", u"ぶ"},    {"be", u"べ"},    {"bo", u"ぼ"},    {"bya", u"びゃ"},
    {"byu", u"びゅ"}, {"byo", u"びょ"}, {"pa", u"ぱ"},    {"pi", u"ぴ"},    {"pu", u"ぷ"},
    {"pe", u"ぺ"},    {"po", u"ぽ"},    {"pya", u"ぴゃ"}, {"pyu", u"ぴゅ"}, {"pyo", u"ぴょ"},
    {"ma", u"ま"},    {"mi", u"み"},    {"mu", u"む"},    {"me", u"め"},    {"mo", u"も"},
    {"mya", u"みゃ"}, {"myu", u"みゅ"}, {"myo", u"みょ"}, {"ya", u"や"},    {"yu", u"ゆ"},
    {"ye", u"いぇ"},  {"yo", u"よ"},    {"ra", u"ら"},    {"ri", u"り"},    {"ru", u"る"},
    {"re", u"れ"},    {"ro", u"ろ"},    {"rya", u"りゃ"}, {"ryu", u"りゅ"}, {"rye", u"りぇ"},
    {"ryo", u"りょ"}, {"wa", u"わ"},    {"wi", u"うぃ"},  {"we", u"うぇ"},  {"wo", u"を"},
    {"va", u"ゔぁ"},  {"vi", u"ゔぃ"},  {"vu", u"ゔ"},    {"ve", u"ゔぇ"},  {"vo", u"ゔぉ"},
    {"xa", u"ぁ"},    {"xi", u"ぃ"},    {"xu", u"ぅ"},    {"xe", u"ぇ"},    {"xo", u"ぉ"},
    {"la", u"ぁ"},    {"li", u"ぃ"},    {"lu", u"ぅ"},    {"le", u"ぇ"},    {"lo", u"ぉ"},
    {"xya", u"ゃ"},   {"xyu", u"ゅ"},   {"xyo", u"ょ"},   {"lya", u"ゃ"},   {"lyu", u"ゅ"},
    {"lyo", u"ょ"},   {"xtu", u"っ"},   {"ltu", u"っ"},   {"xtsu", u"っ"},  {"ltsu", u"っ"},
    {"xwa", u"ゎ"},   {"lwa", u"ゎ"},   {"xka", u"ゕ"},   {"xke", u"ゖ"},   {"lka", u"ゕ"},
    {"lke", u"ゖ"},   {"-", u"ー"},
});

bool IsVowel(char c) {
    return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o';
}
bool IsConsonant(char c) {
    return c >= 'a' && c <= 'z' && !IsVowel(c);
}

// The kana a syllable begun with `start` may begin with; empty when no
// syllable begins so.
std::u16string FirstKanaOfSyllablesFrom(std::string_view start) {
    std::u16string first;
    const auto add = [&](char16_t kana) {
        if (first.find(kana) == std::u16string::npos) first += kana;
    };
    for (const Syllable& syllable : kSyllables) {
        if (syllable.romaji.size() > start.size() && syllable.romaji.starts_with(start)) {
            add(syllable.kana.front());
        }
    }
    // The first of a doubled consonant is っ.
    if (start.size() == 1 && IsConsonant(start[0]) && start[0] != 'n' && !first.empty()) add(u'っ');
    return first;
}

}  // namespace

namespace {

constexpr std::size_t kMostReadings = 16;

// Reads word[at...] after `reading`, adding each way to read it to `all`.
void ReadFrom(std::string_view word, std::size_t at, RomajiReading reading,
              std::vector<RomajiReading>& all) {
    const auto next = [&](std::size_t ahead) {
        return at + ahead < word.size() ? word[at + ahead] : '\0';
    };
    while (at < word.size() && all.size() < kMostReadings) {
        const char c = word[at];
        if (c == 'n' && next(1) == 'y' && IsVowel(next(2))) {
            // "onyaku": おんやく as written, or おにゃく as an input method
            // reads it. Both are tried.
            RomajiReading syllabic = reading;
            syllabic.kana += u'ん';
            ReadFrom(word, at + 1, std::move(syllabic), all);
        }
        if (c == 'n' && next(1) == 'n' && (IsVowel(next(2)) || next(2) == 'y')) {
            // Hepburn "konnichiha": ん, and the second n begins に.
            reading.kana += u'ん';
            ++at;
            continue;
        }
        if (c == 'n' && (IsConsonant(next(1)) || next(1) == '-') && next(1) != 'n' &&
            next(1) != 'y') {
            reading.kana += u'ん';
            ++at;
            continue;
        }
        if (IsConsonant(c) && c != 'n' &&
            (next(1) == c || (c == 't' && next(1) == 'c' && next(2) == 'h'))) {
            reading.kana += u'っ';
            ++at;
            continue;
        }
        const Syllable* longest = nullptr;
        for (const Syllable& syllable : kSyllables) {
            if (word.substr(at).starts_with(syllable.romaji) &&
                (longest == nullptr || syllable.romaji.size() > longest->romaji.size())) {
                longest = &syllable;
            }
        }
        if (longest != nullptr) {
            reading.kana += longest->kana;
            at += longest->romaji.size();
            continue;
        }
        // Part of a syllable: only at the end, where the user is still typing.
        reading.nextMayBe = FirstKanaOfSyllablesFrom(word.substr(at));
        if (reading.nextMayBe.empty()) return;
        break;
    }
    if (all.size() < kMostReadings) all.push_back(std::move(reading));
}

}  // namespace

std::vector<RomajiReading> ReadRomaji(std::string_view word) {
    std::vector<RomajiReading> all;
    if (!word.empty()) ReadFrom(word, 0, {}, all);
    return all;
}

}  // namespace kiv

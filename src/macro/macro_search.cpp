#include "macro/macro_search.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <stdexcept>

#include "macro/romaji.h"
#include "macro/search_folding.h"

namespace kiv {
namespace {

// The code the folded text is kept in. ASCII is itself. Hiragana, which
// folding makes of all kana, is one byte: U+3041..U+309F as 0x81..0xDF, and
// ー, which folding leaves as it is, as 0x80 (where U+3040 would be, had it
// a character). Anything else is three bytes as UTF-8 writes U+0800..U+FFFF
// (a surrogate alone, as it is). Kana and ASCII then take a byte, fewer
// than or as many as in the file; a kanji takes three, one more than in
// CP932.
//
// A three-byte lead (0xE0..0xEF) is nothing else, but the bytes after it
// (0x80..0xBF) are also the codes of ー and ぁ..み: a match starting on such
// a byte is a character only where neither of the two bytes before it is a
// lead.
constexpr char16_t kLongVowelMark = 0x30FC;

void AppendEncoded(std::string& out, std::u16string_view text) {
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c > 0x3040 && c < 0x30A0) {
            out += static_cast<char>(0x80 + (c - 0x3040));
        } else if (c == kLongVowelMark) {
            out += static_cast<char>(0x80);
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string Encoded(std::u16string_view text) {
    std::string out;
    AppendEncoded(out, text);
    return out;
}

bool IsLead(char byte) {
    return (static_cast<unsigned char>(byte) & 0xF0) == 0xE0;
}

bool StartsCharacter(std::string_view text, std::size_t at) {
    return !(at >= 1 && IsLead(text[at - 1])) && !(at >= 2 && IsLead(text[at - 2]));
}

std::uint32_t Offset(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("macro file too large to search");
    }
    return static_cast<std::uint32_t>(size);
}

// The query's words, folded; a full-width space parts words as a space does.
std::vector<std::u16string> Words(std::u16string_view query) {
    const std::u16string folded = FoldForSearch(query);
    std::vector<std::u16string> words;
    std::size_t at = 0;
    while (at < folded.size()) {
        const std::size_t end = std::min(folded.find(u' ', at), folded.size());
        if (end > at) words.push_back(folded.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// Romaji as romaji.h reads it: the letters, and "-" for ー, "n'" for ん.
bool MayBeRomaji(std::u16string_view word) {
    return std::all_of(word.begin(), word.end(), [](char16_t c) {
        return (c >= u'a' && c <= u'z') || c == u'-' || c == u'\'';
    });
}

}  // namespace

// One way a word may be found: `bytes`, then (when `next` is not empty) one
// of `next` right after it, as a romaji syllable still being typed asks.
struct MacroSearch::Form {
    std::string bytes;
    std::vector<std::string> next;
    // Where in `bytes` the byte the text has fewest of is: the scan looks
    // for that one, to stop at as few places as it can.
    std::size_t rarest = 0;
};

MacroSearch::MacroSearch(const MacroList& macros) {
    starts_.reserve(2 * macros.Count() + 1);
    for (std::size_t position = 1; position <= macros.Count(); ++position) {
        const std::u16string_view title = macros.Title(position);
        const std::u16string_view message = macros.Message(position);
        starts_.push_back(Offset(text_.size()));
        AppendEncoded(text_, FoldForSearch(title));
        starts_.push_back(Offset(text_.size()));
        // A line without a TAB is its own title: kept once.
        if (message != title) AppendEncoded(text_, FoldForSearch(message));
    }
    starts_.push_back(Offset(text_.size()));
    text_.shrink_to_fit();
    for (const char byte : text_) ++byteCounts_[static_cast<unsigned char>(byte)];
}

std::size_t MacroSearch::Count() const {
    return starts_.size() / 2;
}

std::size_t MacroSearch::MemoryBytes() const {
    return text_.capacity() + starts_.capacity() * sizeof(std::uint32_t) + sizeof(byteCounts_);
}

// The part `at` is in, past `part`: the next few starts, and then in ever
// longer strides, so that a scan that finds little crosses a long list
// quickly.
std::size_t MacroSearch::PartAt(std::size_t at, std::size_t part) const {
    for (int step = 0; step < 8; ++step) {
        if (starts_[part + 1] > at) return part;
        ++part;
    }
    std::size_t low = part;  // its start is at or before `at`
    std::size_t stride = 1;
    while (low + stride < starts_.size() && starts_[low + stride] <= at) {
        low += stride;
        stride *= 2;
    }
    const auto high =
        starts_.begin() + static_cast<std::ptrdiff_t>(std::min(low + stride, starts_.size()));
    return static_cast<std::size_t>(
               std::upper_bound(starts_.begin() + static_cast<std::ptrdiff_t>(low), high, at) -
               starts_.begin()) -
           1;
}

bool MacroSearch::FoundAt(const Form& form, std::size_t at, std::size_t part) const {
    const std::size_t end = at + form.bytes.size();
    // A word is found within a title or a message, never across the two.
    if (end > starts_[part + 1] || !StartsCharacter(text_, at)) return false;
    if (form.next.empty()) return true;
    const std::string_view rest = std::string_view(text_).substr(end, starts_[part + 1] - end);
    return std::any_of(form.next.begin(), form.next.end(),
                       [&](const std::string& next) { return rest.starts_with(next); });
}

// Marks each macro `form` is found in, of those `among` (all when null).
// One scan of the whole text for the form's rarest byte: a hit is told its
// part by walking the starts along with it, and once a macro is found (or
// is not among those asked about) the scan goes on from the next macro it
// may find.
void MacroSearch::MarkFound(const Form& form, const std::vector<std::uint32_t>* among,
                            std::vector<char>& found) const {
    if (among != nullptr && among->empty()) return;
    const char* const text = text_.data();
    const std::size_t size = form.bytes.size();
    const std::size_t rare = form.rarest;
    std::size_t asked = 0;
    std::size_t part = among != nullptr ? 2 * std::size_t{(*among)[0]} : 0;
    std::size_t from = starts_[part];
    while (from + size <= text_.size()) {
        const void* key =
            std::memchr(text + from + rare, form.bytes[rare], text_.size() - size - from + 1);
        if (key == nullptr) return;
        const std::size_t at =
            static_cast<std::size_t>(static_cast<const char*>(key) - text) - rare;
        if (size > 1 && std::memcmp(text + at, form.bytes.data(), size) != 0) {
            from = at + 1;
            continue;
        }
        if (starts_[part + 1] <= at) part = PartAt(at, part);
        const std::size_t macro = part / 2;
        if (among != nullptr) {
            while (asked < among->size() && (*among)[asked] < macro) ++asked;
            if (asked == among->size()) return;
            if ((*among)[asked] != macro) {
                part = 2 * std::size_t{(*among)[asked]};
                from = starts_[part];
                continue;
            }
        }
        if (found[macro] != 0 || FoundAt(form, at, part)) {
            found[macro] = 1;
            part = 2 * macro + 2;
            from = starts_[part];
        } else {
            from = at + 1;
        }
    }
}

// The word as typed, and when it may be romaji, as each kana it reads as.
std::vector<MacroSearch::Form> MacroSearch::FormsOf(const std::u16string& word) const {
    std::vector<Form> forms{{Encoded(word), {}}};
    const auto add = [&forms](Form form) {
        const bool known = std::any_of(forms.begin(), forms.end(), [&](const Form& other) {
            return other.bytes == form.bytes && other.next == form.next;
        });
        if (!known) forms.push_back(std::move(form));
    };
    if (MayBeRomaji(word)) {
        for (const RomajiReading& reading : ReadRomaji(std::string(word.begin(), word.end()))) {
            // ぢ and づ are looked for as the text keeps them, じ and ず.
            std::vector<std::string> next;
            for (const char16_t kana : reading.nextMayBe) {
                std::string one = Encoded(FoldForSearch(std::u16string_view(&kana, 1)));
                if (std::find(next.begin(), next.end(), one) == next.end()) {
                    next.push_back(std::move(one));
                }
            }
            std::string kana = Encoded(FoldForSearch(reading.kana));
            if (!kana.empty()) {
                add({std::move(kana), std::move(next)});
            } else {
                for (std::string& first : next) add({std::move(first), {}});
            }
        }
    }
    const auto count = [this](char byte) { return byteCounts_[static_cast<unsigned char>(byte)]; };
    for (Form& form : forms) {
        const auto rarest = std::min_element(form.bytes.begin(), form.bytes.end(),
                                             [&](char a, char b) { return count(a) < count(b); });
        form.rarest = static_cast<std::size_t>(rarest - form.bytes.begin());
    }
    return forms;
}

std::vector<std::size_t> MacroSearch::Find(std::u16string_view query) const {
    const std::vector<std::u16string> words = Words(query);
    std::vector<std::size_t> result;
    if (words.empty()) {
        result.resize(Count());
        std::iota(result.begin(), result.end(), std::size_t{0});
        return result;
    }
    if (Count() == 0) return result;

    std::vector<std::vector<Form>> wordForms;
    wordForms.reserve(words.size());
    for (const std::u16string& word : words) wordForms.push_back(FormsOf(word));
    // The word whose shortest form is longest goes first, as it is likely
    // the rarest; the others are looked for only in the macros it is in.
    const auto shortest = [](const std::vector<Form>& forms) {
        std::size_t size = std::numeric_limits<std::size_t>::max();
        for (const Form& form : forms) size = std::min(size, form.bytes.size());
        return size;
    };
    std::stable_sort(wordForms.begin(), wordForms.end(),
                     [&](const auto& a, const auto& b) { return shortest(a) > shortest(b); });

    std::vector<std::uint32_t> among;
    std::vector<char> found(Count());
    for (std::size_t word = 0; word < wordForms.size(); ++word) {
        const std::vector<std::uint32_t>* asked = word == 0 ? nullptr : &among;
        std::fill(found.begin(), found.end(), 0);
        for (const Form& form : wordForms[word]) MarkFound(form, asked, found);
        std::vector<std::uint32_t> kept;
        if (asked == nullptr) {
            // Without a branch: which macros are found follows no order a
            // branch could guess.
            kept.resize(found.size());
            std::size_t count = 0;
            for (std::size_t macro = 0; macro < found.size(); ++macro) {
                kept[count] = static_cast<std::uint32_t>(macro);
                count += found[macro] != 0 ? 1 : 0;
            }
            kept.resize(count);
        } else {
            std::copy_if(among.begin(), among.end(), std::back_inserter(kept),
                         [&](std::uint32_t macro) { return found[macro] != 0; });
        }
        among = std::move(kept);
        if (among.empty()) break;
    }
    result.assign(among.begin(), among.end());
    return result;
}

bool HasSearchWords(std::u16string_view query) {
    return !Words(query).empty();
}

}  // namespace kiv

#include "macro/macro_search.h"

#include <algorithm>
#include <bitset>
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
// a character). Kana and ASCII then take a byte, fewer than or as many as in
// the file.
//
// Anything else (kanji, mostly) has a code of the list's own, numbered from
// its most frequent character: a lead byte (0xE0..0xFE; 0xE0..0xFF are
// nothing else) and a trail byte (any other), two bytes as in CP932, for the
// first 31 × 224; after those, which a list reaches only with nearly every
// character CP932 has or more, 0xFF, two more leads and a trail. Every
// character is then leads ending in one byte that is not, so a byte starts a
// character exactly where the byte before it is not a lead; and a query
// character the list has not is in no macro.
//
// Among two-byte codes the lead goes round first: the 992 most frequent
// characters have trails 0x00..0x1F, which text hardly has, so a scan for a
// letter or a kana stops rarely inside another character.
constexpr unsigned kFirstLead = 0xE0;
constexpr std::size_t kTrails = kFirstLead;
constexpr std::size_t kTwoByteLeads = 0xFF - kFirstLead;
constexpr std::size_t kTwoByteCodes = kTwoByteLeads * kTrails;
constexpr std::size_t kLeads = 0x100 - kFirstLead;
constexpr char16_t kLongVowelMark = 0x30FC;

bool IsOneByte(char16_t c) {
    return c < 0x80 || (c > 0x3040 && c < 0x30A0) || c == kLongVowelMark;
}

char OneByte(char16_t c) {
    if (c < 0x80) return static_cast<char>(c);
    return static_cast<char>(c == kLongVowelMark ? 0x80 : 0x80 + (c - 0x3040));
}

// Writes the bytes of the list's own code `code` at `out`; returns where they end.
char* PutCode(char* out, std::size_t code) {
    if (code < kTwoByteCodes) {
        *out++ = static_cast<char>(kFirstLead + code % kTwoByteLeads);
        *out++ = static_cast<char>(code / kTwoByteLeads);
        return out;
    }
    const std::size_t beyond = code - kTwoByteCodes;
    *out++ = static_cast<char>(0xFF);
    *out++ = static_cast<char>(kFirstLead + beyond % kLeads);
    *out++ = static_cast<char>(kFirstLead + beyond / kLeads % kLeads);
    *out++ = static_cast<char>(beyond / (kLeads * kLeads));
    return out;
}

bool IsLead(char byte) {
    return static_cast<unsigned char>(byte) >= kFirstLead;
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

// One way a word may be found: `bytes`, then (when `next` has any) a byte of
// `next` right after it, as a romaji syllable still being typed asks. The
// kana a syllable begins with are hiragana, a byte each.
struct MacroSearch::Form {
    std::string bytes;
    std::bitset<256> next;
    // Where in `bytes` the byte the text has fewest of is: the scan looks
    // for that one, to stop at as few places as it can.
    std::size_t rarest = 0;
};

MacroSearch::MacroSearch(const MacroList& macros) : MacroSearch(macros, {}) {}

MacroSearch::MacroSearch(const MacroList& macros, const std::vector<MacroReading>& readings)
    : partsPerMacro_(readings.empty() ? 2 : 4) {
    // Everything folded first, to number the characters by how often the
    // list has them; `starts_` counts characters until the text is coded.
    // Folding makes nothing longer.
    const std::size_t count = macros.Count();
    const std::size_t withReading = std::min(readings.size(), count);
    std::size_t most = 0;
    for (std::size_t position = 1; position <= count; ++position) {
        most += macros.Title(position).size() + macros.Message(position).size();
    }
    for (std::size_t index = 0; index < withReading; ++index) {
        most += readings[index].title.size() + readings[index].message.size();
    }
    std::u16string folded;
    folded.reserve(most);
    starts_.reserve(partsPerMacro_ * count + 1);
    // Adds `reading` folded, and tells whether it did: not when it is
    // folded[from, to), the text it reads, as a text without kanji reads
    // as itself; a part kept empty costs the scan nothing.
    const auto addReading = [&folded](std::u16string_view reading, std::size_t from,
                                      std::size_t to) {
        const std::size_t at = folded.size();
        folded += FoldForSearch(reading);
        const std::u16string_view all = folded;
        if (all.substr(at) == all.substr(from, to - from)) folded.resize(at);
        return folded.size() > at;
    };
    bool readingKept = false;
    for (std::size_t position = 1; position <= count; ++position) {
        const std::u16string_view title = macros.Title(position);
        const std::u16string_view message = macros.Message(position);
        const std::size_t titleAt = folded.size();
        starts_.push_back(Offset(titleAt));
        folded += FoldForSearch(title);
        const std::size_t messageAt = folded.size();
        starts_.push_back(Offset(messageAt));
        // A line without a TAB is its own title: kept once.
        const bool ownTitle = message == title;
        if (!ownTitle) folded += FoldForSearch(message);
        if (partsPerMacro_ == 2) continue;
        const std::size_t textEnd = folded.size();
        starts_.push_back(Offset(textEnd));
        if (position <= withReading) {
            const MacroReading& reading = readings[position - 1];
            readingKept |= addReading(reading.title, titleAt, messageAt);
            starts_.push_back(Offset(folded.size()));
            // The reading of a message that is its own title is the title's:
            // kept once too.
            if (!ownTitle) {
                readingKept |= addReading(reading.message, messageAt, textEnd);
            } else if (reading.message != reading.title) {
                readingKept |= addReading(reading.message, titleAt, messageAt);
            }
        } else {
            starts_.push_back(Offset(textEnd));
        }
    }
    starts_.push_back(Offset(folded.size()));
    if (partsPerMacro_ == 4 && !readingKept) {
        // Every reading part is empty: the starts of the titles and messages
        // are all the list needs, and its scan is the one without readings.
        std::vector<std::uint32_t> starts;
        starts.reserve(2 * count + 1);
        for (std::size_t macro = 0; macro < count; ++macro) {
            starts.push_back(starts_[4 * macro]);
            starts.push_back(starts_[4 * macro + 1]);
        }
        starts.push_back(starts_.back());
        starts_ = std::move(starts);
        partsPerMacro_ = 2;
    }

    std::vector<std::uint32_t> counts(0x10000);
    for (const char16_t c : folded) ++counts[c];
    for (std::size_t c = 0; c < counts.size(); ++c) {
        if (counts[c] == 0) continue;
        if (IsOneByte(static_cast<char16_t>(c))) {
            byteCounts_[static_cast<unsigned char>(OneByte(static_cast<char16_t>(c)))] += counts[c];
        } else {
            others_.push_back(static_cast<char16_t>(c));
        }
    }
    std::stable_sort(others_.begin(), others_.end(),
                     [&](char16_t a, char16_t b) { return counts[a] > counts[b]; });
    others_.shrink_to_fit();

    std::vector<std::uint16_t> codes(0x10000);
    std::size_t size = folded.size();
    for (std::size_t code = 0; code < others_.size(); ++code) {
        const char16_t c = others_[code];
        codes[c] = static_cast<std::uint16_t>(code);
        char bytes[4];
        const char* const end = PutCode(bytes, code);
        size += counts[c] * static_cast<std::size_t>(end - bytes - 1);
        for (const char* byte = bytes; byte != end; ++byte) {
            byteCounts_[static_cast<unsigned char>(*byte)] += counts[c];
        }
    }
    text_.resize(Offset(size));
    char* out = text_.data();
    std::size_t at = 0;
    for (std::uint32_t& start : starts_) {
        for (; at < start; ++at) {
            const char16_t c = folded[at];
            if (IsOneByte(c)) {
                *out++ = OneByte(c);
            } else {
                out = PutCode(out, codes[c]);
            }
        }
        start = Offset(static_cast<std::size_t>(out - text_.data()));
    }
}

std::size_t MacroSearch::Count() const {
    return starts_.size() / partsPerMacro_;
}

std::size_t MacroSearch::MemoryBytes() const {
    return text_.capacity() + starts_.capacity() * sizeof(std::uint32_t) +
           others_.capacity() * sizeof(char16_t) + sizeof(byteCounts_);
}

// The macro `at` is in, past `macro`, in ever longer strides and then
// halves, so that a scan that finds little crosses a long list quickly.
template <std::size_t Parts>
std::size_t MacroSearch::MacroAt(std::size_t at, std::size_t macro) const {
    const std::size_t count = starts_.size() / Parts;
    std::size_t low = macro;  // it starts at or before `at`
    std::size_t stride = 1;
    while (low + stride < count && starts_[Parts * (low + stride)] <= at) {
        low += stride;
        stride *= 2;
    }
    std::size_t high = std::min(low + stride, count);  // it starts after `at`, or is the end
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        (starts_[Parts * middle] <= at ? low : high) = middle;
    }
    return low;
}

void MacroSearch::MarkFound(const Form& form, const std::vector<std::uint32_t>* among,
                            std::vector<char>& found) const {
    if (partsPerMacro_ == 2) {
        MarkFoundIn<2>(form, among, found);
    } else {
        MarkFoundIn<4>(form, among, found);
    }
}

// Marks each macro `form` is found in, of those `among` (all when null) not
// yet marked. One scan of the whole text for the form's rarest byte: a hit
// is told its macro by walking the starts along with it, and the scan goes
// on from the start of the next macro it may find, past those found before
// (by another form of the word) and those not asked about.
template <std::size_t Parts>
void MacroSearch::MarkFoundIn(const Form& form, const std::vector<std::uint32_t>* among,
                              std::vector<char>& found) const {
    const std::size_t size = form.bytes.size();
    if (size > text_.size()) return;
    const char* const text = text_.data();
    const std::uint32_t* const starts = starts_.data();
    const std::size_t last = text_.size() - size;  // the last place the form may be at
    const std::size_t rare = form.rarest;
    const char key = form.bytes[rare];
    const bool goesOn = form.next.any();
    std::size_t asked = 0;
    // The first macro from `macro` on to look in; Count() when none is.
    const auto lookIn = [&](std::size_t macro) {
        if (among == nullptr) {
            while (macro < found.size() && found[macro] != 0) ++macro;
            return macro;
        }
        while (asked < among->size() && ((*among)[asked] < macro || found[(*among)[asked]] != 0)) {
            ++asked;
        }
        return asked < among->size() ? std::size_t{(*among)[asked]} : found.size();
    };
    std::size_t macro = lookIn(0);
    std::size_t from = starts[Parts * macro];
    while (from <= last) {
        const void* hit = std::memchr(text + from + rare, key, last - from + 1);
        if (hit == nullptr) return;
        const std::size_t at =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text) - rare;
        from = at + 1;
        if ((size > 1 && std::memcmp(text + at, form.bytes.data(), size) != 0) ||
            (at > 0 && IsLead(text[at - 1]))) {
            continue;
        }
        // The macro the hit is in: a few steps on, or far.
        std::size_t in = macro;
        for (int step = 0; starts[Parts * in + Parts] <= at; ++step) {
            if (step == 4) {
                in = MacroAt<Parts>(at, in);
                break;
            }
            ++in;
        }
        const std::size_t end = at + size;
        // The end of the part the hit is in: the first start after it.
        const std::uint32_t* part = starts + Parts * in + 1;
        for (std::size_t left = Parts - 1; left > 0 && *part <= at; --left) ++part;
        const std::size_t partEnd = *part;
        // A word is found within one part, never across two.
        if (end > partEnd) continue;
        if (in != macro) {
            macro = lookIn(in);
            if (macro != in) {
                from = starts[Parts * macro];
                continue;
            }
        }
        if (goesOn && (end == partEnd || !form.next.test(static_cast<unsigned char>(text[end])))) {
            continue;
        }
        found[macro] = 1;
        macro = lookIn(macro + 1);
        from = starts[Parts * macro];
    }
}

// `text` in this list's code; nothing when the list has not a character of it.
std::optional<std::string> MacroSearch::Encoded(std::u16string_view text) const {
    std::string out;
    for (const char16_t c : text) {
        if (IsOneByte(c)) {
            out += OneByte(c);
            continue;
        }
        const auto other = std::find(others_.begin(), others_.end(), c);
        if (other == others_.end()) return std::nullopt;
        char bytes[4];
        out.append(bytes, PutCode(bytes, static_cast<std::size_t>(other - others_.begin())));
    }
    return out;
}

// The word as typed, and when it may be romaji, as each kana it reads as; a
// way the list has not every character of is left out.
std::vector<MacroSearch::Form> MacroSearch::FormsOf(const std::u16string& word) const {
    std::vector<Form> forms;
    const auto add = [&forms](Form form) {
        const bool known = std::any_of(forms.begin(), forms.end(), [&](const Form& other) {
            return other.bytes == form.bytes && other.next == form.next;
        });
        if (!known) forms.push_back(std::move(form));
    };
    if (std::optional<std::string> bytes = Encoded(word)) add({std::move(*bytes), {}});
    if (MayBeRomaji(word)) {
        for (const RomajiReading& reading : ReadRomaji(std::string(word.begin(), word.end()))) {
            // ぢ and づ are looked for as the text keeps them, じ and ず.
            std::bitset<256> next;
            for (const char16_t kana : reading.nextMayBe) {
                next.set(static_cast<unsigned char>(
                    OneByte(FoldForSearch(std::u16string_view(&kana, 1)).front())));
            }
            if (reading.kana.empty()) {
                for (std::size_t byte = 0; byte < next.size(); ++byte) {
                    if (next.test(byte)) add({std::string(1, static_cast<char>(byte)), {}});
                }
            } else if (std::optional<std::string> kana = Encoded(FoldForSearch(reading.kana))) {
                add({std::move(*kana), next});
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
    // A word with no form the list could have is found nowhere.
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

#include "settings/macro_usage.h"

#include <algorithm>
#include <bitset>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/case_fold.h"
#include "platform/local_clock.h"
#include "settings/ini_file.h"
#include "settings/numbered_keys.h"
#include "settings/value_checks.h"

namespace kiv {
namespace {

constexpr std::u16string_view kUsageSection = u"Usage";
constexpr std::u16string_view kFavoritesSection = u"Favorites";
constexpr std::u16string_view kCountersSection = u"Counters";
constexpr double kHalfLifeDays = 14;
// The most a count reads back as: past it a saying adds nothing.
constexpr std::uint32_t kMostCount = std::numeric_limits<std::int32_t>::max();

// The settings file may give a value back without the spaces at its ends, and a
// full-width space looks the same to the player.
std::u16string_view Trimmed(std::u16string_view title) {
    const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\u3000'; };
    while (!title.empty() && isSpace(title.front())) title.remove_prefix(1);
    while (!title.empty() && isSpace(title.back())) title.remove_suffix(1);
    return title;
}

// A title's length, its first, middle and last three characters, mixed into
// 16 bits. Most titles of a file are told from those sought by this alone,
// without hashing the whole title (the palette reads every file it lists each
// time it opens); titles that differ only in a number at their end, as
// generated files have them, are told apart too.
std::uint32_t Glance(std::u16string_view title) {
    const std::size_t size = title.size();
    const auto at = [title, size](std::size_t i) {
        return i < size ? static_cast<std::uint32_t>(title[i]) : 0U;
    };
    const std::uint32_t mixed = static_cast<std::uint32_t>(size) * 0x9E3779B1U +
                                at(0) * 0x85EBCA77U + at(size / 2) * 0xC2B2AE3DU +
                                at(size - 1) * 0x27D4EB2FU + at(size - 2) * 0x165667B1U +
                                at(size - 3) * 0xD3A2646CU;
    return mixed >> 16;
}

// Whether `stored` is `title` as a settings file in a code page that lacks
// some of its characters kept it: each of those a "?".
bool KeptAs(std::u16string_view title, std::u16string_view stored) {
    if (title.size() != stored.size() || stored.find(u'?') == std::u16string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title[i] != stored[i] && stored[i] != u'?') return false;
    }
    return true;
}

double Score(const UsageEntry& entry, std::int32_t today) {
    // A last day after today (the clock put back) counts as today.
    const std::int64_t days = std::max<std::int64_t>(0, std::int64_t{today} - entry.lastDay);
    return entry.count * std::pow(0.5, static_cast<double>(days) / kHalfLifeDays);
}

// An entry of `file` and the position of the macro it means there now.
struct Meaning {
    std::size_t entry;     // its index among the entries
    std::size_t position;  // from 1; 0 for none
};

// The entries of `file`, those titled `onlyTitle` when one is given, each
// with the macro it means now. The file's titles are read once, however many
// entries there are: a file may hold a hundred thousand macros.
template <class Entry>
std::vector<Meaning> MeaningsIn(const FileMacros& file, const std::vector<Entry>& entries,
                                std::optional<std::u16string_view> onlyTitle = std::nullopt) {
    std::vector<Meaning> meanings;
    // Each title sought gets a slot; the slot gathers the positions it is at.
    std::unordered_map<std::u16string_view, std::size_t> slotOf;
    std::vector<std::size_t> slots;
    std::bitset<std::size_t{1} << 16> glanced;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!EqualIgnoringCase(entries[i].file, file.path)) continue;
        const std::u16string_view title = Trimmed(entries[i].title);
        if (onlyTitle && title != *onlyTitle && !KeptAs(*onlyTitle, title)) continue;
        meanings.push_back(Meaning{i, 0});
        glanced.set(Glance(title));
        slots.push_back(slotOf.emplace(title, slotOf.size()).first->second);
    }
    if (meanings.empty()) return meanings;

    std::vector<std::vector<std::size_t>> positions(slotOf.size());
    for (std::size_t position = 1; position <= file.count; ++position) {
        const std::u16string_view title = Trimmed(file.titleAt(position));
        if (!glanced.test(Glance(title))) continue;
        const auto found = slotOf.find(title);
        if (found != slotOf.end()) positions[found->second].push_back(position);
    }
    for (std::size_t i = 0; i < meanings.size(); ++i) {
        const std::vector<std::size_t>& at = positions[slots[i]];
        const std::size_t stored = entries[meanings[i].entry].position;
        const auto after = std::lower_bound(at.begin(), at.end(), stored);
        std::size_t nearest = after == at.end() ? 0 : *after;
        // The earlier of two as near.
        if (after != at.begin() && (nearest == 0 || stored - *(after - 1) <= nearest - stored)) {
            nearest = *(after - 1);
        }
        // Its title as the settings file could keep it: the macro where it was.
        if (nearest == 0 && stored >= 1 && stored <= file.count &&
            KeptAs(Trimmed(file.titleAt(stored)), Trimmed(entries[meanings[i].entry].title))) {
            nearest = stored;
        }
        meanings[i].position = nearest;
    }
    return meanings;
}

// The digits after `prefix` in a key such as "File12"; nothing for another key.
std::optional<std::pair<std::size_t, std::u16string>> NumberOf(std::u16string_view key,
                                                               std::u16string_view prefix) {
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 9) return std::nullopt;
    if (!EqualIgnoringCase(key.substr(0, prefix.size()), prefix)) return std::nullopt;
    const std::u16string_view digits = key.substr(prefix.size());
    std::size_t number = 0;
    for (const char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        number = number * 10 + static_cast<std::size_t>(c - u'0');
    }
    return std::pair{number, std::u16string(digits)};
}

bool HasSection(const IniFile& store, std::u16string_view section) {
    const auto& sections = store.Sections();
    return std::any_of(sections.begin(), sections.end(), [section](const std::u16string& name) {
        return EqualIgnoringCase(name, section);
    });
}

// Each numbered entry of the current section, in the order of its number
// (gaps allowed), as its File and its Macro.
std::vector<std::pair<std::u16string, std::u16string>> NumberedEntries(const IniFile& store) {
    std::vector<std::pair<std::size_t, std::u16string>> numbers;
    for (const std::u16string& key : store.Keys()) {
        if (auto number = NumberOf(key, u"File")) numbers.push_back(std::move(*number));
    }
    std::stable_sort(numbers.begin(), numbers.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<std::u16string, std::u16string>> read;
    for (const auto& [number, digits] : numbers) {
        std::u16string path = store.Data(u"File" + digits);
        if (path.empty()) continue;
        read.emplace_back(std::move(path), store.Data(u"Macro" + digits));
    }
    return read;
}

// The text up to the next comma, taken off the front of `text`.
std::optional<std::u16string_view> Field(std::u16string_view& text) {
    const std::size_t comma = text.find(u',');
    if (comma == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view field = text.substr(0, comma);
    text.remove_prefix(comma + 1);
    return field;
}

// A count or a position: a number from 1, read as the settings' other numbers are.
std::optional<std::size_t> Positive(std::optional<std::u16string_view> text) {
    if (!text) return std::nullopt;
    const std::optional<std::int32_t> number = ParseInt32(*text);
    if (!number || *number < 1) return std::nullopt;
    return static_cast<std::size_t>(*number);
}

std::optional<std::int32_t> DayOf(std::u16string_view text) {
    int fields[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t slash = i < 2 ? text.find(u'/') : text.size();
        if (slash == std::u16string_view::npos) return std::nullopt;
        const std::u16string_view digits = text.substr(0, slash);
        if (digits.empty() || digits.size() > 4) return std::nullopt;
        for (const char16_t c : digits) {
            if (c < u'0' || c > u'9') return std::nullopt;
            fields[i] = fields[i] * 10 + (c - u'0');
        }
        text.remove_prefix(i < 2 ? slash + 1 : slash);
    }
    const std::chrono::year_month_day date{std::chrono::year{fields[0]},
                                           std::chrono::month{static_cast<unsigned>(fields[1])},
                                           std::chrono::day{static_cast<unsigned>(fields[2])}};
    if (!date.ok()) return std::nullopt;
    return static_cast<std::int32_t>(std::chrono::sys_days{date}.time_since_epoch().count());
}

// "count,YYYY/MM/DD,position,title": the title last, for the commas it may hold.
std::optional<UsageEntry> ParseUsage(std::u16string path, std::u16string_view text) {
    const auto count = Positive(Field(text));
    const auto date = Field(text);
    const auto lastDay = date ? DayOf(*date) : std::nullopt;
    const auto position = Positive(Field(text));
    if (!count || !lastDay || !position) return std::nullopt;
    return UsageEntry{std::move(path), *position, std::u16string(text),
                      static_cast<std::uint32_t>(*count), *lastDay};
}

// "position,title".
std::optional<FavoriteEntry> ParseFavorite(std::u16string path, std::u16string_view text) {
    const auto position = Positive(Field(text));
    if (!position) return std::nullopt;
    return FavoriteEntry{std::move(path), *position, std::u16string(text)};
}

// "count,position,title".
std::optional<CounterEntry> ParseCounter(std::u16string path, std::u16string_view text) {
    const auto count = Positive(Field(text));
    const auto position = Positive(Field(text));
    if (!count || !position) return std::nullopt;
    return CounterEntry{std::move(path), *position, std::u16string(text),
                        static_cast<std::uint32_t>(*count)};
}

// The entries that mean the macro at `position` of `file`, by index.
template <class Entry>
std::vector<std::size_t> EntriesMeaning(const FileMacros& file, std::size_t position,
                                        const std::vector<Entry>& entries) {
    std::vector<std::size_t> meaning;
    if (position == 0 || position > file.count) return meaning;
    for (const Meaning& found : MeaningsIn(file, entries, Trimmed(file.titleAt(position)))) {
        if (found.position == position) meaning.push_back(found.entry);
    }
    return meaning;
}

// The entries of a section that read (`parse`), in the order of their
// numbers, `most` at most. A file without the section is left without:
// selecting a section adds it.
template <class Entry, class Parse>
std::vector<Entry> ReadNumbered(IniFile& store, std::u16string_view section, std::size_t most,
                                const Parse& parse) {
    std::vector<Entry> entries;
    if (!HasSection(store, section)) return entries;
    store.SetNowSection(section);
    for (auto& [path, macro] : NumberedEntries(store)) {
        if (entries.size() == most) break;
        if (std::optional<Entry> entry = parse(std::move(path), macro)) {
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

// Sets a section's numbered keys in place of every key it had. A book with
// nothing in it adds no section to a file that never had one.
template <class Entry, class MacroText>
void WriteNumbered(IniFile& store, std::u16string_view section, const std::vector<Entry>& entries,
                   const MacroText& macroText) {
    if (entries.empty() && !HasSection(store, section)) return;
    store.SetNowSection(section);
    store.Clear();
    std::size_t number = 1;
    for (const Entry& entry : entries) {
        store.SetData(Numbered(u"File", number), entry.file);
        store.SetData(Numbered(u"Macro", number), macroText(entry));
        ++number;
    }
}

}  // namespace

void MacroUsage::Said(const FileMacros& file, std::size_t position, std::int32_t today) {
    if (position == 0 || position > file.count) return;
    const std::u16string title(file.titleAt(position));
    // Of several entries that mean the macro, the one that gives it its score.
    std::optional<std::size_t> said;
    for (const Meaning& meaning : MeaningsIn(file, entries_, Trimmed(title))) {
        if (meaning.position == position &&
            (!said || Score(entries_[meaning.entry], today) > Score(entries_[*said], today))) {
            said = meaning.entry;
        }
    }
    if (!said) {
        if (entries_.size() >= kMost) {
            // The macro just said is never the one to go: were it, a new
            // macro could not get in once every entry was said more often.
            auto lowest = entries_.begin();
            for (auto entry = entries_.begin() + 1; entry != entries_.end(); ++entry) {
                const double score = Score(*entry, today);
                const double least = Score(*lowest, today);
                if (score < least || (score == least && entry->lastDay <= lowest->lastDay)) {
                    lowest = entry;
                }
            }
            entries_.erase(lowest);
        }
        entries_.push_back(UsageEntry{});
        said = entries_.size() - 1;
    }
    UsageEntry& entry = entries_[*said];
    entry.file = file.path;
    entry.position = position;
    entry.title = title;
    if (entry.count < kMostCount) ++entry.count;
    entry.lastDay = today;
}

std::vector<double> MacroUsage::Scores(const FileMacros& file, std::int32_t today) const {
    std::vector<double> scores(file.count, 0.0);
    for (const Meaning& meaning : MeaningsIn(file, entries_)) {
        if (meaning.position == 0) continue;
        double& score = scores[meaning.position - 1];
        score = std::max(score, Score(entries_[meaning.entry], today));
    }
    return scores;
}

bool FavoriteMacros::Toggle(const FileMacros& file, std::size_t position) {
    if (position == 0 || position > file.count) return false;
    const std::u16string title(file.titleAt(position));
    std::vector<bool> unpin(entries_.size(), false);
    bool unpinned = false;
    for (const Meaning& meaning : MeaningsIn(file, entries_, Trimmed(title))) {
        if (meaning.position != position) continue;
        unpin[meaning.entry] = true;
        unpinned = true;
    }
    if (unpinned) {
        std::vector<FavoriteEntry> kept;
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (!unpin[i]) kept.push_back(std::move(entries_[i]));
        }
        entries_ = std::move(kept);
    }
    if (unpinned || entries_.size() >= kMost) return false;
    entries_.push_back(FavoriteEntry{std::u16string(file.path), position, title});
    return true;
}

std::vector<bool> FavoriteMacros::Marks(const FileMacros& file) const {
    std::vector<bool> marks(file.count, false);
    for (const Meaning& meaning : MeaningsIn(file, entries_)) {
        if (meaning.position != 0) marks[meaning.position - 1] = true;
    }
    return marks;
}

std::uint32_t MacroCounters::CountOf(const FileMacros& file, std::size_t position) const {
    // Where the macro was said last, as a preview asks for each row it
    // paints: the file's titles are not read.
    if (position >= 1 && position <= file.count) {
        const std::u16string_view title = Trimmed(file.titleAt(position));
        for (const CounterEntry& entry : entries_) {
            if (entry.position == position && Trimmed(entry.title) == title &&
                EqualIgnoringCase(entry.file, file.path)) {
                return entry.count;
            }
        }
    }
    std::uint32_t count = 0;
    for (const std::size_t entry : EntriesMeaning(file, position, entries_)) {
        count = std::max(count, entries_[entry].count);
    }
    return count;
}

void MacroCounters::Said(const FileMacros& file, std::size_t position) {
    if (position == 0 || position > file.count) return;
    const std::uint32_t count = CountOf(file, position);
    Reset(file, position);
    if (entries_.size() >= kMost) entries_.erase(entries_.begin());
    entries_.push_back(CounterEntry{std::u16string(file.path), position,
                                    std::u16string(file.titleAt(position)),
                                    count < kMostCount ? count + 1 : count});
}

void MacroCounters::Reset(const FileMacros& file, std::size_t position) {
    std::vector<bool> drop(entries_.size(), false);
    for (const std::size_t entry : EntriesMeaning(file, position, entries_)) drop[entry] = true;
    std::vector<CounterEntry> kept;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!drop[i]) kept.push_back(std::move(entries_[i]));
    }
    entries_ = std::move(kept);
}

MacroCounters ReadMacroCounters(IniFile& store) {
    MacroCounters counters;
    counters.entries_ =
        ReadNumbered<CounterEntry>(store, kCountersSection, MacroCounters::kMost, ParseCounter);
    return counters;
}

void WriteMacroCounters(IniFile& store, const MacroCounters& counters) {
    WriteNumbered(store, kCountersSection, counters.Entries(), [](const CounterEntry& entry) {
        return Digits(entry.count) + u"," + Digits(entry.position) + u"," + entry.title;
    });
}

MacroUsage ReadMacroUsage(IniFile& store) {
    MacroUsage usage;
    usage.entries_ = ReadNumbered<UsageEntry>(store, kUsageSection, MacroUsage::kMost, ParseUsage);
    return usage;
}

void WriteMacroUsage(IniFile& store, const MacroUsage& usage) {
    WriteNumbered(store, kUsageSection, usage.Entries(), [](const UsageEntry& entry) {
        return Digits(entry.count) + u"," + DateText(entry.lastDay) + u"," +
               Digits(entry.position) + u"," + entry.title;
    });
}

FavoriteMacros ReadFavoriteMacros(IniFile& store) {
    FavoriteMacros favorites;
    favorites.entries_ =
        ReadNumbered<FavoriteEntry>(store, kFavoritesSection, FavoriteMacros::kMost, ParseFavorite);
    return favorites;
}

void WriteFavoriteMacros(IniFile& store, const FavoriteMacros& favorites) {
    WriteNumbered(store, kFavoritesSection, favorites.Entries(), [](const FavoriteEntry& entry) {
        return Digits(entry.position) + u"," + entry.title;
    });
}

}  // namespace kiv

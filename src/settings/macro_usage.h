#pragma once

// The macros the player says often and those they pinned, for the palette to
// put first. A macro is remembered by its file, its position and its title,
// and found again by the title: in a file as it is now an entry means the
// macro of that title (letter case counting) nearest the position it had, the
// earlier of two as near, and none when no macro has the title any more. A
// title is compared without the spaces (U+0020 and U+3000) at either end,
// which the settings file does not keep. Files are compared as Windows
// compares their names, letter case aside. Kept in the settings file's
// sections "Usage" and "Favorites". Portable.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class IniFile;

// A macro file as it is now: its macros' titles at positions 1 to count.
struct FileMacros {
    std::u16string_view path;
    std::size_t count = 0;
    std::function<std::u16string_view(std::size_t position)> titleAt;
};

struct UsageEntry {
    std::u16string file;
    std::size_t position = 0;  // from 1, when it was last said
    std::u16string title;
    std::uint32_t count = 0;   // how often it was said
    std::int32_t lastDay = 0;  // days since 1970-01-01, local date
    friend bool operator==(const UsageEntry&, const UsageEntry&) = default;
};

// How often each macro was said, fading with time: a macro's score is its
// count halved for every 14 days since it was last said, so that what the
// player says these days comes before what they said a lot once.
class MacroUsage {
  public:
    static constexpr std::size_t kMost = 200;

    // The macro at `position` of `file` was said on `today` (days since
    // 1970-01-01, the local date). Its entry takes the position and title the
    // macro has now. A new entry past kMost drops another, the one of the
    // lowest score, of equal scores the one said longest ago, then the later.
    void Said(const FileMacros& file, std::size_t position, std::int32_t today);
    // Each macro's score on `today`, index 0 for position 1; 0 for a macro no
    // entry means. Reads each title of the file once.
    std::vector<double> Scores(const FileMacros& file, std::int32_t today) const;

    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }
    const std::vector<UsageEntry>& Entries() const { return entries_; }

  private:
    friend MacroUsage ReadMacroUsage(IniFile& store);

    std::vector<UsageEntry> entries_;
};

struct FavoriteEntry {
    std::u16string file;
    std::size_t position = 0;  // from 1, when it was pinned
    std::u16string title;
    friend bool operator==(const FavoriteEntry&, const FavoriteEntry&) = default;
};

// The macros the player pinned to the top of the palette.
class FavoriteMacros {
  public:
    static constexpr std::size_t kMost = 200;

    // Pins the macro at `position` of `file`, or unpins it when it was
    // pinned; true when it is pinned now. A pin past kMost is refused.
    bool Toggle(const FileMacros& file, std::size_t position);
    // Whether each macro is pinned, index 0 for position 1. Reads each title
    // of the file once.
    std::vector<bool> Marks(const FileMacros& file) const;

    bool Empty() const { return entries_.empty(); }
    const std::vector<FavoriteEntry>& Entries() const { return entries_; }

  private:
    friend FavoriteMacros ReadFavoriteMacros(IniFile& store);

    std::vector<FavoriteEntry> entries_;
};

struct CounterEntry {
    std::u16string file;
    std::size_t position = 0;  // from 1, when it was last said
    std::u16string title;
    std::uint32_t count = 0;
    friend bool operator==(const CounterEntry&, const CounterEntry&) = default;
};

// How many times each macro with a <count> was said, for the number it puts in.
class MacroCounters {
  public:
    static constexpr std::size_t kMost = 200;

    // 0 for a macro never said.
    std::uint32_t CountOf(const FileMacros& file, std::size_t position) const;
    // One more. Past kMost the macro said longest ago loses its count.
    void Said(const FileMacros& file, std::size_t position);
    // Back to 0.
    void Reset(const FileMacros& file, std::size_t position);

    bool Empty() const { return entries_.empty(); }
    const std::vector<CounterEntry>& Entries() const { return entries_; }

  private:
    friend MacroCounters ReadMacroCounters(IniFile& store);

    std::vector<CounterEntry> entries_;  // the one said last, last
};

// Reads the section "Usage" of a loaded store: File1, File2... each with its
// Macro ("count,YYYY/MM/DD,position,title", the day it was last said). An
// entry that does not read is passed over; the numbers may have gaps.
MacroUsage ReadMacroUsage(IniFile& store);
// Sets the section's keys in place of those it had, numbered from 1. No
// entries add no section.
void WriteMacroUsage(IniFile& store, const MacroUsage& usage);

// Reads the section "Favorites": File1, File2... each with its Macro
// ("position,title"), as the section "Usage" is read.
FavoriteMacros ReadFavoriteMacros(IniFile& store);
void WriteFavoriteMacros(IniFile& store, const FavoriteMacros& favorites);

// Reads the section "Counters": File1, File2... each with its Macro
// ("count,position,title"), as the section "Usage" is read.
MacroCounters ReadMacroCounters(IniFile& store);
void WriteMacroCounters(IniFile& store, const MacroCounters& counters);

}  // namespace kiv

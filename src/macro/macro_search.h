#pragma once

// Finding macros by what the user types. Every title and message is folded
// once, when the list is loaded (search_folding.h), into one compact buffer,
// so that a keystroke only scans it: a query's words are each looked for in
// a macro's title or its message (any order, all of them), and a word of
// ASCII letters is also looked for as the kana it spells (romaji.h). Where
// the input method's readings are handed in, kanji are found by them too:
// "kaifuku" finds 回復 without the kanji being converted first.
// Portable.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/macro_list.h"

namespace kiv {

// A macro's text as the input method reads it back, in kana (「自分で回復」
// is 「じぶんでかいふく」); empty where there is none.
struct MacroReading {
    std::u16string title;
    std::u16string message;
};

class MacroSearch {
  public:
    MacroSearch() = default;
    explicit MacroSearch(const MacroList& macros);
    // `readings` in the list's order (the first is position 1's); macros
    // past its end have none. A word is then found in a title, a message or
    // either's reading, each on its own.
    MacroSearch(const MacroList& macros, const std::vector<MacroReading>& readings);

    // The 0-based indexes of the macros every word of `query` (separated by
    // spaces, half-width or full-width) is found in, in file order; every
    // macro when the query has no word.
    std::vector<std::size_t> Find(std::u16string_view query) const;

    std::size_t Count() const;
    // What the search keeps (the folded text, where its parts start, the
    // list's own codes), for the benchmark against the file's size.
    std::size_t MemoryBytes() const;

  private:
    struct Form;  // one way a word may be found (macro_search.cpp)

    std::optional<std::string> Encoded(std::u16string_view text) const;
    std::vector<Form> FormsOf(const std::u16string& word) const;
    void MarkFound(const Form& form, const std::vector<std::uint32_t>* among,
                   std::vector<char>& found) const;
    // The scan and the walk over `starts_`, made for each number of parts a
    // macro may have, so that the list without readings pays nothing for them.
    template <std::size_t Parts>
    void MarkFoundIn(const Form& form, const std::vector<std::uint32_t>* among,
                     std::vector<char>& found) const;
    template <std::size_t Parts>
    std::size_t MacroAt(std::size_t at, std::size_t macro) const;

    // The folded titles and messages, one byte a character where it can be
    // (macro_search.cpp tells the code), macro after macro, title before
    // message, then their readings.
    std::string text_;
    // Where each part starts: macro i's title at Pi, its message at Pi+1
    // and, with readings, the title's reading at Pi+2 and the message's at
    // Pi+3 (P the parts a macro has); and one more at the end. A message
    // that is its own title is empty, and so is a reading that is its text.
    std::vector<std::uint32_t> starts_;
    // 2, or 4 when a reading is kept: a list whose readings all add nothing
    // is laid out as one without.
    std::size_t partsPerMacro_ = 2;
    // The characters the text keeps in codes of this list's own, most
    // frequent first: a character's code is its index.
    std::vector<char16_t> others_;
    // How often each byte is in the text, for a scan to look for the rarest
    // byte of a word.
    std::array<std::uint32_t, 256> byteCounts_{};
};

// Whether `query` has a word to look for (not only spaces).
bool HasSearchWords(std::u16string_view query);

}  // namespace kiv

#pragma once

// Finding macros by what the user types. Every title and message is folded
// once, when the list is loaded (search_folding.h), into one compact buffer,
// so that a keystroke only scans it: a query's words are each looked for in
// a macro's title or its message (any order, all of them), and a word of
// ASCII letters is also looked for as the kana it spells (romaji.h).
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

class MacroSearch {
  public:
    MacroSearch() = default;
    explicit MacroSearch(const MacroList& macros);

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
    std::size_t MacroAt(std::size_t at, std::size_t macro) const;

    // The folded titles and messages, one byte a character where it can be
    // (macro_search.cpp tells the code), macro after macro, title before
    // message.
    std::string text_;
    // Where each part starts: macro i's title at 2i, its message at 2i+1,
    // and one more at the end. A message that is its own title is empty.
    std::vector<std::uint32_t> starts_;
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

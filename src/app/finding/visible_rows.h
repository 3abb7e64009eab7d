#pragma once

// The rows the list shows while the user finds a macro: every macro, or only
// those the query found, in file order. Everything that turns a row of the
// list into a macro goes through here: saying, the preview, the menu, moving
// a macro, the selection kept across a reload. Portable.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kiv {

class VisibleRows {
  public:
    // Every macro of a list of `total`.
    void ShowAll(std::size_t total);
    // Only `macros` (0-based, ascending) of a list of `total`.
    void ShowOnly(std::vector<std::size_t> macros, std::size_t total);

    bool Filtered() const { return filtered_; }
    std::size_t Count() const { return filtered_ ? macros_.size() : total_; }
    std::size_t Total() const { return total_; }

    // The macro (0-based) on `row`; none for a row outside the list.
    std::optional<std::size_t> MacroAt(int row) const;
    // The row of `macro`; -1 where it is not shown (or is none).
    int RowOf(std::optional<std::size_t> macro) const;
    // The first row of a macro at or after `macro`, or the last row; -1 in
    // an empty list.
    int RowAtOrAfter(std::size_t macro) const;

  private:
    std::vector<std::size_t> macros_;
    std::size_t total_ = 0;
    bool filtered_ = false;
};

// The count at the end of the find box: "12 / 88".
std::u16string MatchCountText(std::size_t shown, std::size_t total);

}  // namespace kiv

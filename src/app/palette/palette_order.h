#pragma once

// The order of the palette's rows: the macros the player pinned first, then
// those they said, each most used first, then the rest as the file has them.
// Portable.

#include <cstddef>
#include <optional>
#include <vector>

namespace kiv {

// `found` (indexes into `favourite` and `score`, in file order) as the
// palette lists them: the favourites, then the macros of a score above 0,
// each group by score, highest first, and of equal scores in file order; then
// the rest in file order.
std::vector<std::size_t> PaletteOrder(const std::vector<std::size_t>& found,
                                      const std::vector<bool>& favourite,
                                      const std::vector<double>& score);

// The row Alt with the digit `digit` says: 1 to 9 the first nine rows, none
// for a row the palette does not have.
std::optional<std::size_t> NumberedRow(std::size_t digit, std::size_t rows);

}  // namespace kiv

#include "app/palette/palette_order.h"

#include <algorithm>

namespace kiv {

std::vector<std::size_t> PaletteOrder(const std::vector<std::size_t>& found,
                                      const std::vector<bool>& favourite,
                                      const std::vector<double>& score) {
    std::vector<std::size_t> pinned;
    std::vector<std::size_t> said;
    std::vector<std::size_t> rest;
    for (const std::size_t row : found) {
        (favourite[row] ? pinned : score[row] > 0 ? said : rest).push_back(row);
    }
    // Most rows were never said and keep the file's order: only the few
    // others are sorted, and stably, the earlier in the file first of equal
    // scores.
    const auto higher = [&score](std::size_t a, std::size_t b) { return score[a] > score[b]; };
    std::stable_sort(pinned.begin(), pinned.end(), higher);
    std::stable_sort(said.begin(), said.end(), higher);
    pinned.insert(pinned.end(), said.begin(), said.end());
    pinned.insert(pinned.end(), rest.begin(), rest.end());
    return pinned;
}

std::optional<std::size_t> NumberedRow(std::size_t digit, std::size_t rows) {
    if (digit < 1 || digit > 9 || digit > rows) return std::nullopt;
    return digit - 1;
}

}  // namespace kiv

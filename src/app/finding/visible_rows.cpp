#include "app/finding/visible_rows.h"

#include <algorithm>
#include <string>

namespace kiv {

void VisibleRows::ShowAll(std::size_t total) {
    macros_.clear();
    total_ = total;
    filtered_ = false;
}

void VisibleRows::ShowOnly(std::vector<std::size_t> macros, std::size_t total) {
    macros_ = std::move(macros);
    total_ = total;
    filtered_ = true;
}

std::optional<std::size_t> VisibleRows::MacroAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= Count()) return std::nullopt;
    return filtered_ ? macros_[static_cast<std::size_t>(row)] : static_cast<std::size_t>(row);
}

int VisibleRows::RowOf(std::optional<std::size_t> macro) const {
    if (!macro || *macro >= total_) return -1;
    if (!filtered_) return static_cast<int>(*macro);
    const auto found = std::lower_bound(macros_.begin(), macros_.end(), *macro);
    return found != macros_.end() && *found == *macro ? static_cast<int>(found - macros_.begin())
                                                      : -1;
}

int VisibleRows::RowAtOrAfter(std::size_t macro) const {
    if (Count() == 0) return -1;
    const std::size_t row =
        filtered_ ? static_cast<std::size_t>(
                        std::lower_bound(macros_.begin(), macros_.end(), macro) - macros_.begin())
                  : macro;
    return static_cast<int>(std::min(row, Count() - 1));
}

std::u16string MatchCountText(std::size_t shown, std::size_t total) {
    const std::string text = std::to_string(shown) + " / " + std::to_string(total);
    return {text.begin(), text.end()};
}

}  // namespace kiv

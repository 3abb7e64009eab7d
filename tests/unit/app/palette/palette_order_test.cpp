// The palette's order of rows and the rows Alt with a digit says.

#include "app/palette/palette_order.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace kiv {
namespace {

using Rows = std::vector<std::size_t>;

TEST(PaletteOrder, PinnedThenSaidEachByScoreThenTheRestInFileOrder) {
    // What was found, which are pinned, the scores, the order.
    const std::tuple<const char*, Rows, std::vector<bool>, std::vector<double>, Rows> cases[] = {
        {"all three groups",
         {0, 1, 2, 3, 4, 5, 6},
         {false, true, false, false, true, false, false},
         {0, 1, 3, 0, 0, 3, 0.5},
         {1, 4, 2, 5, 6, 0, 3}},
        {"pinned by score", {0, 1, 2}, {true, true, true}, {0, 2, 5}, {2, 1, 0}},
        {"never said, as found", {0, 1, 2}, {false, false, false}, {0, 0, 0}, {0, 1, 2}},
        {"only what was found",
         {1, 3, 4},
         {true, false, false, false, false},
         {9, 0, 0, 1, 2},
         {4, 3, 1}},
        {"nothing found", {}, {true}, {1}, {}},
    };
    for (const auto& [what, found, favourite, score, order] : cases) {
        EXPECT_EQ(PaletteOrder(found, favourite, score), order) << what;
    }
}

TEST(PaletteOrder, AHundredThousandRowsKeepEqualScoresInFileOrder) {
    constexpr std::size_t kRows = 100'000;
    Rows found(kRows);
    std::vector<double> score(kRows);
    for (std::size_t i = 0; i < kRows; ++i) {
        found[i] = i;
        score[i] = static_cast<double>(i % 3);  // 0, 1, 2 over and over
    }
    const Rows order = PaletteOrder(found, std::vector<bool>(kRows, false), score);
    Rows expected;
    for (const std::size_t rest : {2, 1, 0}) {
        for (std::size_t i = rest; i < kRows; i += 3) expected.push_back(i);
    }
    EXPECT_EQ(order, expected);
}

TEST(NumberedRow, AltOneToNineSayTheFirstNineRows) {
    // The digit, the rows the palette has, the row said.
    const std::tuple<std::size_t, std::size_t, std::optional<std::size_t>> cases[] = {
        {1, 5, 0},  {5, 5, 4},  {9, 9, 8},  {9, 20, 8},
        {6, 5, {}}, {1, 0, {}}, {0, 5, {}}, {10, 20, {}},
    };
    for (const auto& [digit, rows, row] : cases) {
        EXPECT_EQ(NumberedRow(digit, rows), row) << "Alt+" << digit << " of " << rows;
    }
}

}  // namespace
}  // namespace kiv

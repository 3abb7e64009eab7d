#include <gtest/gtest.h>

#include <tuple>

#include "app/saying/list_selection.h"

namespace kiv {
namespace {

// Every way the list's selection moves, side by side; -1 is nothing selected.
TEST(ListSelection, TheSelectionWrapsAtBothEndsAndStaysWhereItCan) {
    using Rule = int (*)(int selected, int count);
    const Rule sayNext = SelectionAfterSayNext;
    const Rule next = [](int s, int n) { return SelectionAfterStep(s, n, Step::Next); };
    const Rule previous = [](int s, int n) { return SelectionAfterStep(s, n, Step::Previous); };
    const std::tuple<const char*, Rule, int, int, int> cases[] = {
        {"say next", sayNext, 2, 3, 0},   {"say next", sayNext, 0, 3, 1},
        {"say next", sayNext, -1, 3, 0},  {"say next", sayNext, -1, 0, -1},
        {"next", next, 1, 3, 2},          {"next", next, 2, 3, 0},
        {"next", next, -1, 3, 0},         {"next", next, -1, 0, -1},
        {"previous", previous, 1, 3, 0},  {"previous", previous, 0, 3, 2},
        {"previous", previous, -1, 3, 2}, {"previous", previous, -1, 0, -1},
    };
    for (const auto& [rule, after, selected, count, expected] : cases) {
        EXPECT_EQ(after(selected, count), expected)
            << rule << " from " << selected << " of " << count;
    }
}

}  // namespace
}  // namespace kiv

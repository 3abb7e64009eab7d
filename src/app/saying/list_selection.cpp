#include "app/saying/list_selection.h"

namespace kiv {
int SelectionAfterSayNext(int selected, int count) {
    if (count <= 0) return -1;
    return selected == count - 1 ? 0 : selected + 1;
}

int SelectionAfterStep(int selected, int count, Step step) {
    if (count <= 0) return -1;
    if (step == Step::Next) return SelectionAfterSayNext(selected, count);
    return selected <= 0 || selected >= count ? count - 1 : selected - 1;
}

}  // namespace kiv

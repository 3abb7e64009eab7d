#include "app/main_commands.h"

#include <algorithm>

namespace kiv {

DialogStart DialogStartFor(std::u16string_view macroFile) {
    const std::size_t slash = macroFile.rfind(u'\\');
    if (slash == std::u16string_view::npos) return {std::nullopt, std::u16string(macroFile)};
    return {std::u16string(macroFile.substr(0, slash)),
            std::u16string(macroFile.substr(slash + 1))};
}

int SelectionAfterSayNext(int selected, int count) {
    if (count <= 0) return -1;
    return selected == count - 1 ? 0 : selected + 1;
}

PixelRect MoveInto(const PixelRect& window, const PixelRect& workArea) {
    const int width = std::min(window.right - window.left, workArea.right - workArea.left);
    const int height = std::min(window.bottom - window.top, workArea.bottom - workArea.top);
    const int left = std::clamp(window.left, workArea.left, workArea.right - width);
    const int top = std::clamp(window.top, workArea.top, workArea.bottom - height);
    return {left, top, left + width, top + height};
}

}  // namespace kiv

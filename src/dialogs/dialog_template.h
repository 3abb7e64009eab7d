#pragma once

// A dialog as its resource describes it (an extended template), changed to
// show in the typeface the rest of the tool uses: a template names "MS Shell
// Dlg", which Japanese Windows maps to an older face than the one its own
// windows show. Portable.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kiv {

struct DialogFont {
    std::u16string_view face;  // as a LOGFONT names it, "Yu Gothic UI"
    std::uint16_t points = 9;
};

// The template with `font` in place of its own, or nothing when it is not
// an extended template that names a font (then it is shown as it is). The
// layout stays in dialog units, which follow the font, so nothing is cut.
std::optional<std::vector<std::byte>> WithDialogFont(std::span<const std::byte> dialogTemplate,
                                                     const DialogFont& font);

// The points of a font `pixels` high at 96 DPI (a LOGFONT's lfHeight is
// negative for the character height), as a dialog template gives its size.
std::uint16_t PointsAt96Dpi(long pixels);

}  // namespace kiv

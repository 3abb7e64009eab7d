#pragma once

// What a macro's lines are filled in from as it is said or previewed: one
// context for the delivery, the hover preview, the palette's line and the
// macro dialog's preview, so that each shows what the game receives.
// Windows only.

#include <cstddef>
#include <string_view>

#include "macro/line_preparation.h"

namespace kiv {

// Which macro of which file: its path and its position there, from 1 (0: a
// macro not yet in a file, as the dialog makes a new one).
struct MacroPlace {
    std::u16string_view file;
    std::size_t position = 0;
};

class MacroTokens {
  public:
    // What a preview of the macro at `place` shows.
    FillContext PreviewOf(const MacroPlace& place) const;
    // What saying it sends.
    FillContext SayingOf(const MacroPlace& place);
};

}  // namespace kiv

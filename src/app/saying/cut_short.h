#pragma once

// What the player is told of a macro the game client stopped answering in:
// which lines went, which may have gone, and which did not. A player who saw
// only the first line would say the macro again, and that line twice in
// public chat; nothing is sent again by itself. Portable.

#include <string>
#include <string_view>
#include <vector>

#include "macro/delivery.h"

namespace kiv {

// `client` as ClientInText names it; `title` the macro's.
std::u16string CutShortText(std::u16string_view client, std::u16string_view title,
                            const std::vector<SaidLine>& lines);

}  // namespace kiv

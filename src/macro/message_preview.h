#pragma once

// The tooltip over a list entry: its message as the game will receive it.
// Portable.

#include <optional>
#include <string>
#include <string_view>

#include "macro/line_preparation.h"

namespace kiv {

// One line per chat line, split at the separator as delivery splits it (three
// at most), empty lines left out as delivery leaves them out, "<now>" as the
// time (as the macro dialog's preview shows it), and each line
// as it survives the ANSI code page ("?" for what CP932 lacks). Nothing when
// the message equals the title (the list shows it already) or when nothing
// would be sent.
std::optional<std::u16string> MessagePreview(std::u16string_view message, std::u16string_view title,
                                             FillContext& context);

}  // namespace kiv

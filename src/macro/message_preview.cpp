#include "macro/message_preview.h"

#include "macro/line_preparation.h"

namespace kiv {

std::optional<std::u16string> MessagePreview(std::u16string_view message, std::u16string_view title,
                                             const Clock& clock) {
    if (message == title) return std::nullopt;
    const std::vector<std::u16string> lines = LinesReceived(message, &clock);
    if (lines.empty()) return std::nullopt;  // nothing would be sent
    return OneLineEach(lines);
}

}  // namespace kiv

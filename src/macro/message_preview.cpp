#include "macro/message_preview.h"

namespace kiv {

std::optional<std::u16string> MessagePreview(std::u16string_view message, std::u16string_view title,
                                             FillContext& context) {
    if (message == title) return std::nullopt;
    const std::vector<std::u16string> lines = LinesReceived(message, context);
    if (lines.empty()) return std::nullopt;  // nothing would be sent
    return OneLineEach(lines);
}

}  // namespace kiv

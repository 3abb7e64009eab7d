#include "macro/message_preview.h"

#include "macro/line_preparation.h"
#include "platform/ansi_text.h"

namespace kiv {

std::optional<std::u16string> MessagePreview(std::u16string_view message,
                                             std::u16string_view title) {
    if (message == title) return std::nullopt;
    std::u16string preview;
    for (const std::u16string_view line : SplitMessage(message)) {
        if (line.empty()) continue;
        if (!preview.empty()) preview += u"\r\n";
        preview += FromAnsi(ToAnsi(line));
    }
    if (preview.empty()) return std::nullopt;  // nothing would be sent
    return preview;
}

}  // namespace kiv

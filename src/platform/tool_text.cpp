#include "platform/tool_text.h"

namespace kiv {

std::u16string Fill(std::u16string_view text, std::initializer_list<std::u16string_view> values) {
    std::u16string filled;
    filled.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
        const auto index = static_cast<std::size_t>(next - u'1');
        if (text[i] == u'%' && next >= u'1' && next <= u'9' && index < values.size()) {
            filled += values.begin()[index];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace kiv

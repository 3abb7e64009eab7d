#include "app/saying/cut_short.h"

#include "app/common/app_texts.h"

namespace kiv {

std::u16string CutShortText(std::u16string_view client, std::u16string_view title,
                            const std::vector<SaidLine>& lines) {
    std::u16string text = Fill(texts::kMacroCutShort, {client, title});
    for (const SaidLine& line : lines) {
        const std::string number = std::to_string(line.number);
        const std::u16string_view fate = line.fate == LineFate::Sent ? texts::kLineSent
                                         : line.fate == LineFate::MayHaveGone
                                             ? texts::kLineMayHaveGone
                                             : texts::kLineNotSent;
        text += Fill(fate, {std::u16string(number.begin(), number.end()), line.text});
    }
    text += texts::kCutShortNext;
    return text;
}

}  // namespace kiv

#pragma once

// The lines a message made before it could hold tokens, written out again
// from the rule rather than taken from the code: a message without tokens
// must still make exactly these.

#include <string>
#include <string_view>
#include <vector>

#include "platform/case_fold.h"

namespace kiv::test {

inline std::vector<std::u16string> LinesBeforeTokens(std::u16string_view message,
                                                     const std::u16string& time) {
    std::vector<std::u16string> lines;
    if (message.empty()) return lines;
    for (int number = 1;; ++number) {
        const std::size_t at = number < 3 ? message.find(u"\\n") : std::u16string_view::npos;
        const std::u16string_view line = message.substr(0, at);
        if (line == u"<now>") {
            lines.push_back(time);
        } else if (!line.empty()) {
            lines.emplace_back(line);
        }
        if (at == std::u16string_view::npos) break;
        message.remove_prefix(at + 2);
    }
    return lines;
}

// Whether a token's text is anywhere in the message: a token's start, or one
// of `names` in brackets, in any case.
inline bool MayHoldTokens(std::u16string_view message, const std::vector<std::u16string>& names) {
    for (const std::u16string_view start :
         {u"<time>", u"<date>", u"<count>", u"<rand:", u"<clip>", u"<ask:", u"<wait.", u"<lt>"}) {
        if (message.find(start) != std::u16string_view::npos) return true;
    }
    const std::u16string folded = FoldCase(message);
    for (const std::u16string& name : names) {
        if (folded.find(u"<" + FoldCase(name) + u">") != std::u16string::npos) return true;
    }
    return false;
}

}  // namespace kiv::test

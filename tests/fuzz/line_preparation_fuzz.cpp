// Splitting and filling in any message: at most three lines, none empty, the
// split parts put back together give the message again, and a message
// without tokens makes exactly the lines it made before tokens were known
// (the rule written out again in support/lines_before_tokens.h).
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "macro/line_preparation.h"
#include "macro/macro_tokens.h"
#include "support/lines_before_tokens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    const std::u16string message = fuzz::AsUtf16(data, size);
    const auto parts = SplitMessage(message);
    FUZZ_CHECK(parts.size() <= kMaxLinesPerMessage);
    std::u16string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) joined += kLineSeparator;
        joined += parts[i];
    }
    FUZZ_CHECK(joined == message);

    FillContext context{
        .clock =
            [] {
                return TimeOfDay{23, 59, 7};
            },
        .today = [] { return 0; },
        .clipboard = [] { return std::u16string(u"<clip>\r\nx"); },
        .count = [] { return std::uint64_t{3}; },
        .variable = [](std::u16string_view name) -> std::optional<std::u16string> {
            if (EqualIgnoringCase(name, u"hp")) return u"<hp>";
            return std::nullopt;
        },
        .choose = [](std::size_t choices) { return choices / 2; },
        .answers = {{u"q", u"<ask:q>"}},
    };
    const auto lines = PrepareLines(message, context);
    FUZZ_CHECK(lines.size() <= parts.size());
    for (const auto& line : lines) FUZZ_CHECK(!line.empty());
    if (!test::MayHoldTokens(message, {u"hp"})) {
        FUZZ_CHECK(lines == test::LinesBeforeTokens(message, u"23:59:07"));
    }

    context.preview = true;
    FUZZ_CHECK(PrepareLines(message, context).size() <= parts.size());
    for (const std::u16string& question : QuestionsOf(message)) FUZZ_CHECK(!question.empty());
    for (const auto part : parts) {
        for (const TokenSlip& slip : TokenSlipsIn(part)) {
            FUZZ_CHECK(slip.offset < part.size() && part[slip.offset] == u'<');
        }
    }
    return 0;
}

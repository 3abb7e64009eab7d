// Splitting and preparing any message: at most three lines, none empty, and
// the split parts put back together give the message again.
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "macro/line_preparation.h"

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

    FillContext clock{[] { return TimeOfDay{23, 59, 7}; }};
    const auto lines = PrepareLines(message, clock);
    FUZZ_CHECK(lines.size() <= parts.size());
    for (const auto& line : lines) FUZZ_CHECK(!line.empty());
    return 0;
}

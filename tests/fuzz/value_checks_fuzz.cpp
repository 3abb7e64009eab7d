// The number checks on any text: they agree with each other and with the
// conversions they guard.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "settings/value_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    const std::u16string text = fuzz::AsUtf16(data, size);
    const std::optional<double> number = ParseSettingNumber(text);
    const bool isInt = IsInt(text);
    const bool isLng = IsLng(text);
    const bool isSng = IsSng(text);
    FUZZ_CHECK(isInt == isLng);
    FUZZ_CHECK(!isLng || number.has_value());
    FUZZ_CHECK(!isSng || number.has_value());
    if (isLng) {
        const std::int32_t value = ToLng(text);
        FUZZ_CHECK(value >= -32768 && value <= 32767);
    }
    if (isSng) FUZZ_CHECK(std::isfinite(ToSng(text)));
    if (IsBool(text)) (void)ToBool(text);
    return 0;
}

#include "platform/single_copy.h"

#include <cstdint>

namespace kiv {

std::u16string SingleCopyName(std::u16string_view normalisedPath) {
    // FNV-1a over the UTF-16 units: the same path gives the same name in
    // every copy, and 64 bits keep two real paths from meeting.
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const char16_t unit : normalisedPath) {
        hash = (hash ^ static_cast<std::uint64_t>(unit)) * 0x100000001B3u;
    }
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string name = u"Local\\KivMacro-";
    for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
    return name;
}

std::u16string HandOverName(std::u16string_view copyName) {
    return std::u16string(copyName) + u"-handover";
}

}  // namespace kiv

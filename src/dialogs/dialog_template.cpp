#include "dialogs/dialog_template.h"

#include <cstring>

namespace kiv {
namespace {

// DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y,
// cx, cy, then the menu, the class and the title, then the font when the
// style asks for one.
constexpr std::size_t kStyleAt = 12;
constexpr std::size_t kFixedPart = 26;
constexpr std::uint32_t kSetFont = 0x40;   // DS_SETFONT
constexpr std::uint32_t kFixedSys = 0x08;  // DS_FIXEDSYS: with DS_SETFONT, DS_SHELLFONT

std::uint16_t WordAt(std::span<const std::byte> bytes, std::size_t at) {
    std::uint16_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

// Past a null-terminated string of 16-bit characters; nothing when it runs off the end.
std::optional<std::size_t> PastString(std::span<const std::byte> bytes, std::size_t at) {
    for (; at + 2 <= bytes.size(); at += 2) {
        if (WordAt(bytes, at) == 0) return at + 2;
    }
    return std::nullopt;
}

// Past a menu or class: nothing, an ordinal, or a name.
std::optional<std::size_t> PastNameOrOrdinal(std::span<const std::byte> bytes, std::size_t at) {
    if (at + 2 > bytes.size()) return std::nullopt;
    const std::uint16_t first = WordAt(bytes, at);
    if (first == 0) return at + 2;
    if (first == 0xFFFF) return at + 4 <= bytes.size() ? std::optional(at + 4) : std::nullopt;
    return PastString(bytes, at);
}

std::size_t DwordAligned(std::size_t at) {
    return (at + 3) & ~std::size_t{3};
}

}  // namespace

std::optional<std::vector<std::byte>> WithDialogFont(std::span<const std::byte> dialogTemplate,
                                                     const DialogFont& font) {
    const std::span<const std::byte> bytes = dialogTemplate;
    if (font.face.empty() || bytes.size() < kFixedPart || WordAt(bytes, 0) != 1 ||
        WordAt(bytes, 2) != 0xFFFF) {
        return std::nullopt;
    }
    std::uint32_t style = 0;
    std::memcpy(&style, bytes.data() + kStyleAt, sizeof style);
    if ((style & kSetFont) == 0) return std::nullopt;
    std::optional<std::size_t> at = PastNameOrOrdinal(bytes, kFixedPart);
    if (at) at = PastNameOrOrdinal(bytes, *at);
    if (at) at = PastString(bytes, *at);  // the title
    if (!at || *at + 6 > bytes.size()) return std::nullopt;
    const std::size_t faceAt = *at + 6;  // after the points, the weight, italic and charset
    const std::optional<std::size_t> pastFace = PastString(bytes, faceAt);
    if (!pastFace) return std::nullopt;
    // The controls begin on a DWORD boundary after the face.
    const std::size_t controlsAt = std::min(DwordAligned(*pastFace), bytes.size());

    std::vector<std::byte> changed(bytes.begin(),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(faceAt));
    // The face named is used as it is, not mapped as "MS Shell Dlg" is.
    style &= ~kFixedSys;
    std::memcpy(changed.data() + kStyleAt, &style, sizeof style);
    std::memcpy(changed.data() + *at, &font.points, sizeof font.points);
    // The face, its terminating zero, zeros up to the controls' boundary,
    // then the controls as they were.
    const std::size_t faceBytes = font.face.size() * sizeof(char16_t);
    const std::size_t newControlsAt = DwordAligned(faceAt + faceBytes + sizeof(char16_t));
    const std::size_t controlBytes = bytes.size() - controlsAt;
    changed.resize(newControlsAt + controlBytes);
    std::memcpy(changed.data() + faceAt, font.face.data(), faceBytes);
    std::memcpy(changed.data() + newControlsAt, bytes.data() + controlsAt, controlBytes);
    return changed;
}

std::uint16_t PointsAt96Dpi(long pixels) {
    const long height = pixels < 0 ? -pixels : pixels;
    // 72 points to the inch, 96 pixels to it: the nearest whole point.
    return static_cast<std::uint16_t>((height * 72 + 48) / 96);
}

}  // namespace kiv

#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

namespace kiv {
namespace {

// One sequence starting at `pos`: its code point, or nothing when it is
// malformed; `pos` moves past what was read. `cut` tells that the input ended
// inside a sequence that was well-formed so far.
struct Sequence {
    char32_t value = 0;
    bool valid = false;
    bool cut = false;
};

Sequence ReadSequence(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos++);
    // The continuation bytes a lead byte announces, and the least value that
    // needs that many (anything less is an overlong form).
    std::size_t expected = 0;
    char32_t least = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        expected = 1, least = 0x80, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        expected = 2, least = 0x800, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        expected = 3, least = 0x10000, c = lead & 0x07;
    }
    std::size_t got = 0;
    while (got < expected && pos < text.size() && (byte(pos) & 0xC0) == 0x80) {
        c = (c << 6) | (byte(pos++) & 0x3F);
        ++got;
    }
    if (expected != 0 && got < expected && pos == text.size()) return {0, false, true};
    const bool valid = expected != 0 && got == expected && c >= least && c <= 0x10FFFF &&
                       !(c >= 0xD800 && c < 0xE000);
    return {c, valid, false};
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// Appends the UTF-16 of `text`; a malformed sequence becomes U+FFFD, or with
// `strict` ends the work (then out is as it was). Returns the text's form.
Utf8Form Decode(std::string_view text, std::u16string& out, bool atEnd, bool strict) {
    const std::size_t start = out.size();
    // Never more UTF-16 units than bytes.
    out.resize(start + text.size());
    char16_t* next = out.data() + start;
    Utf8Form form = Utf8Form::Ascii;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t pos = 0; pos < text.size();) {
        if (bytes[pos] < 0x80) {
            *next++ = bytes[pos++];
            continue;
        }
        const Sequence sequence = ReadSequence(text, pos);
        if (sequence.cut && atEnd) break;
        if (!sequence.valid) {
            if (strict) {
                out.resize(start);
                return Utf8Form::Malformed;
            }
            form = Utf8Form::Malformed;
            *next++ = u'\uFFFD';
            continue;
        }
        if (form == Utf8Form::Ascii) form = Utf8Form::MultiByte;
        if (sequence.value >= 0x10000) {
            *next++ = static_cast<char16_t>(0xD800 + ((sequence.value - 0x10000) >> 10));
            *next++ = static_cast<char16_t>(0xDC00 + ((sequence.value - 0x10000) & 0x3FF));
        } else {
            *next++ = static_cast<char16_t>(sequence.value);
        }
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
    return form;
}

}  // namespace

void AppendFromUtf8(std::string_view text, std::u16string& out, bool atEnd) {
    Decode(text, out, atEnd, false);
}

Utf8Form AppendFromWellFormedUtf8(std::string_view bytes, std::u16string& out, bool atEnd) {
    return Decode(bytes, out, atEnd, true);
}

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    AppendFromUtf8(text, out);
    return out;
}

// Run over whole macro files before every edit, so made for the text they
// hold: runs of ASCII passed eight bytes at a time, runs of other characters
// with the three-byte sequences of most scripts (Japanese among them) told
// apart at once; the rest as the decoder reads them.
Utf8Form ClassifyUtf8(std::string_view text, bool atEnd) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    Utf8Form form = Utf8Form::Ascii;
    std::size_t pos = 0;
    while (pos < size) {
        for (std::uint64_t eight = 0; pos + 8 <= size; pos += 8) {
            std::memcpy(&eight, bytes + pos, 8);
            if ((eight & 0x8080808080808080u) != 0) break;
        }
        while (pos < size && bytes[pos] < 0x80) ++pos;
        while (pos < size && bytes[pos] >= 0x80) {
            // E1..EC and EE..EF take any two continuation bytes.
            const unsigned char lead = bytes[pos];
            if (lead > 0xE0 && lead < 0xF0 && lead != 0xED && pos + 3 <= size &&
                (bytes[pos + 1] & 0xC0) == 0x80 && (bytes[pos + 2] & 0xC0) == 0x80) {
                pos += 3;
                form = Utf8Form::MultiByte;
                continue;
            }
            const Sequence sequence = ReadSequence(text, pos);
            if (!sequence.valid) return sequence.cut && atEnd ? form : Utf8Form::Malformed;
            form = Utf8Form::MultiByte;
        }
    }
    return form;
}

}  // namespace kiv

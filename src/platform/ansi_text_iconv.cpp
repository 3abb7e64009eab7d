#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/ansi_text.h"

namespace kiv {
namespace {

constexpr char16_t kDefaultUnicodeChar = u'\u30FB';  // what Windows gives for bad CP932
constexpr char kDefaultAnsiChar = '?';

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Single bytes that the Windows table maps although they are not CP932
// characters proper; iconv rejects them.
char16_t WindowsSingleByte(unsigned char byte) {
    switch (byte) {
        case 0x80:
            return u'\u0080';
        case 0xA0:
            return u'\uF8F0';
        case 0xFD:
            return u'\uF8F1';
        case 0xFE:
            return u'\uF8F2';
        case 0xFF:
            return u'\uF8F3';
        default:
            return kDefaultUnicodeChar;
    }
}

class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns false with errno set where it stopped.
    bool Run(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        // iconv's prototype takes a non-const input pointer but never writes through it.
        auto* input = const_cast<char*>(in);
        const std::size_t result = iconv(handle_, &input, &inLeft, &out, &outLeft);
        in = input;
        return result != static_cast<std::size_t>(-1);
    }

  private:
    iconv_t handle_;
};

// iconv decides what every CP932 sequence means; asking it once per sequence
// and keeping the answers makes a conversion a table lookup, where an iconv
// call per string would cost more than a short settings line itself.
class Cp932Tables {
  public:
    Cp932Tables() : pairs_(std::size_t{256} * 256, 0), encode_(0x10000, 0) {
        Converter decoder("UTF-16LE", "CP932");
        Converter encoder("CP932", "UTF-16LE");
        for (unsigned byte = 0x80; byte < 0x100; ++byte) {
            const char in[1] = {static_cast<char>(byte)};
            if (!IsLeadByte(static_cast<unsigned char>(byte))) {
                const char16_t unit = Decode(decoder, in, 1);
                single_[byte] =
                    unit != 0 ? unit : WindowsSingleByte(static_cast<unsigned char>(byte));
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[2] = {static_cast<char>(byte), static_cast<char>(trail)};
                pairs_[byte * 256 + trail] = Decode(decoder, pair, 2);
            }
        }
        for (unsigned unit = 0x80; unit < 0x10000; ++unit) {
            if (unit >= 0xD800 && unit <= 0xDFFF)
                continue;  // a lone surrogate half is never mapped
            const char16_t in[1] = {static_cast<char16_t>(unit)};
            const char* input = reinterpret_cast<const char*>(in);
            std::size_t inLeft = sizeof in;
            char bytes[4];
            char* out = bytes;
            std::size_t outLeft = sizeof bytes;
            if (!encoder.Run(input, inLeft, out, outLeft)) continue;
            const auto first = static_cast<unsigned char>(bytes[0]);
            encode_[unit] =
                out - bytes == 1
                    ? first
                    : static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(bytes[1]));
        }
        // Windows maps its extra single bytes back as well, so that a settings
        // line holding one comes back unchanged when written.
        for (unsigned byte = 0x80; byte < 0x100; ++byte) {
            const char16_t unit = WindowsSingleByte(static_cast<unsigned char>(byte));
            if (unit != 0 && encode_[unit] == 0) encode_[unit] = static_cast<std::uint16_t>(byte);
        }
    }

    void Decode(std::string_view bytes, std::u16string& out) const {
        for (std::size_t i = 0; i < bytes.size();) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (byte < 0x80) {
                out += static_cast<char16_t>(byte);
                ++i;
            } else if (!IsLeadByte(byte)) {
                out += single_[byte];
                ++i;
            } else if (i + 1 == bytes.size()) {
                out += kDefaultUnicodeChar;
                ++i;
            } else {
                // An invalid pair still takes its second byte along, as Windows does.
                const char16_t unit = pairs_[byte * 256 + static_cast<unsigned char>(bytes[i + 1])];
                out += unit != 0 ? unit : kDefaultUnicodeChar;
                i += 2;
            }
        }
    }

    // One "?" per unit that CP932 lacks, surrogate halves counted apart, as Windows does.
    void Encode(std::u16string_view text, std::string& out) const {
        for (const char16_t unit : text) {
            const std::uint16_t bytes = unit < 0x80 ? unit : encode_[unit];
            if (unit >= 0x80 && bytes == 0) {
                out += kDefaultAnsiChar;
            } else if (bytes < 0x100) {
                out += static_cast<char>(bytes);
            } else {
                out += static_cast<char>(bytes >> 8);
                out += static_cast<char>(bytes & 0xFF);
            }
        }
    }

  private:
    static char16_t Decode(Converter& decoder, const char* in, std::size_t size) {
        char16_t unit[2] = {};
        char* out = reinterpret_cast<char*>(unit);
        std::size_t outLeft = sizeof unit;
        if (!decoder.Run(in, size, out, outLeft) || size != 0 || outLeft != sizeof(char16_t))
            return 0;
        return unit[0];
    }

    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pairs_;        // [lead * 256 + trail], 0 where invalid
    std::vector<std::uint16_t> encode_;  // [unit]: one byte, or lead << 8 | trail; 0 unmapped
};

const Cp932Tables& Tables() {
    static const Cp932Tables tables;
    return tables;
}

}  // namespace

void AppendFromAnsi(std::string_view bytes, std::u16string& out) {
    out.reserve(out.size() + bytes.size());
    Tables().Decode(bytes, out);
}

std::u16string FromAnsi(std::string_view bytes) {
    std::u16string out;
    AppendFromAnsi(bytes, out);
    return out;
}

std::string ToAnsi(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    Tables().Encode(text, out);
    return out;
}

// The tables map nothing by best fit: what does not come back is a "?".
std::optional<std::string> ToAnsiExactly(std::u16string_view text) {
    std::string out = ToAnsi(text);
    if (FromAnsi(out) != text) return std::nullopt;
    return out;
}

// Outside Windows the system's code page is CP932, here and for files alike.
unsigned FileCodePage() {
    return 932;
}

void AppendFromFileCodePage(std::string_view bytes, std::u16string& out) {
    AppendFromAnsi(bytes, out);
}

std::optional<std::string> ToFileCodePageExactly(std::u16string_view text) {
    return ToAnsiExactly(text);
}

}  // namespace kiv

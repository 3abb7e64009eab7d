#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

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

// One converter per direction and thread: iconv_open costs far more than
// converting a macro-file line.
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

Converter& Decoder() {
    thread_local Converter converter("UTF-16LE", "CP932");
    return converter;
}

Converter& Encoder() {
    thread_local Converter converter("CP932", "UTF-16LE");
    return converter;
}

void PutUnit(char*& out, char16_t unit) {
    std::memcpy(out, &unit, sizeof unit);  // UTF-16LE on the little-endian hosts we build for
    out += sizeof unit;
}

}  // namespace

void AppendFromAnsi(std::string_view bytes, std::u16string& out) {
    if (bytes.empty()) return;
    // Every CP932 byte sequence yields at most one UTF-16 unit per byte.
    const std::size_t at = out.size();
    out.resize(at + bytes.size());
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* write = reinterpret_cast<char*>(out.data() + at);
    std::size_t writeLeft = bytes.size() * sizeof(char16_t);
    while (!Decoder().Run(in, inLeft, write, writeLeft)) {
        const auto byte = static_cast<unsigned char>(*in);
        std::size_t skip = 1;
        if (IsLeadByte(byte)) {
            PutUnit(write, kDefaultUnicodeChar);
            skip = inLeft >= 2 ? 2 : 1;
        } else {
            PutUnit(write, WindowsSingleByte(byte));
        }
        writeLeft -= sizeof(char16_t);
        in += skip;
        inLeft -= skip;
    }
    out.resize(static_cast<std::size_t>(reinterpret_cast<char16_t*>(write) - out.data()));
}

std::u16string FromAnsi(std::string_view bytes) {
    std::u16string out;
    AppendFromAnsi(bytes, out);
    return out;
}

std::string ToAnsi(std::u16string_view text) {
    std::string out(text.size() * 2, '\0');  // at most two bytes per UTF-16 unit
    const char* in = reinterpret_cast<const char*>(text.data());
    std::size_t inLeft = text.size() * sizeof(char16_t);
    char* write = out.data();
    std::size_t writeLeft = out.size();
    while (!Encoder().Run(in, inLeft, write, writeLeft)) {
        // One "?" per unit that CP932 lacks, surrogate halves counted apart, as Windows does.
        *write++ = kDefaultAnsiChar;
        --writeLeft;
        in += sizeof(char16_t);
        inLeft -= sizeof(char16_t);
    }
    out.resize(static_cast<std::size_t>(write - out.data()));
    return out;
}

}  // namespace kiv

#include "platform/text_encoding.h"

#include <algorithm>

#include "platform/ansi_text.h"

namespace kiv {
namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// Surrogates without their partner, each once: UTF-8 cannot hold them.
std::vector<char32_t> LoneSurrogates(std::u16string_view text) {
    std::vector<char32_t> lone;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if ((IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) &&
                   std::find(lone.begin(), lone.end(), text[i]) == lone.end()) {
            lone.push_back(text[i]);
        }
    }
    return lone;
}

}  // namespace

std::optional<ByteOrderMark> MarkAtStart(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return ByteOrderMark{TextEncoding::Utf8, 3};
    if (bytes.starts_with("\xFF\xFE")) return ByteOrderMark{TextEncoding::Utf16Le, 2};
    if (bytes.starts_with("\xFE\xFF")) return ByteOrderMark{TextEncoding::Utf16Be, 2};
    return std::nullopt;
}

TextEncoding EncodingWithoutMark(Utf8Form wholeFile) {
    return wholeFile == Utf8Form::MultiByte ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

FileEncoding EncodingOfFile(std::string_view bytes) {
    if (const std::optional<ByteOrderMark> mark = MarkAtStart(bytes)) {
        return {mark->encoding, true};
    }
    return {EncodingWithoutMark(ClassifyUtf8(bytes, true)), false};
}

std::string_view MarkOf(FileEncoding encoding) {
    if (!encoding.marked) return {};
    switch (encoding.encoding) {
        case TextEncoding::Utf8:
            return "\xEF\xBB\xBF";
        case TextEncoding::Utf16Le:
            return "\xFF\xFE";
        case TextEncoding::Utf16Be:
            return "\xFE\xFF";
        case TextEncoding::Ansi:
            break;
    }
    return {};
}

void AppendDecoded(std::string_view bytes, TextEncoding encoding, std::u16string& out, bool atEnd) {
    switch (encoding) {
        case TextEncoding::Ansi:
            AppendFromFileCodePage(bytes, out);
            return;
        case TextEncoding::Utf8:
            AppendFromUtf8(bytes, out, atEnd);
            return;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            const bool big = encoding == TextEncoding::Utf16Be;
            out.reserve(out.size() + bytes.size() / 2);
            const std::size_t before = out.size();
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                const auto first = static_cast<unsigned char>(bytes[i]);
                const auto second = static_cast<unsigned char>(bytes[i + 1]);
                out += static_cast<char16_t>(big ? first << 8 | second : first | second << 8);
            }
            if (atEnd && out.size() > before && IsHighSurrogate(out.back())) out.pop_back();
            return;
        }
    }
}

std::optional<std::string> EncodedExactly(std::u16string_view text, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi:
            return ToFileCodePageExactly(text);
        case TextEncoding::Utf8:
            // UTF-8 holds every character, but half of one.
            if (!LoneSurrogates(text).empty()) return std::nullopt;
            return ToUtf8(text);
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            break;
    }
    const bool big = encoding == TextEncoding::Utf16Be;
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += big ? high : low;
        bytes += big ? low : high;
    }
    return bytes;
}

std::string EncodedAsNearly(std::u16string_view text, TextEncoding encoding) {
    if (std::optional<std::string> exact = EncodedExactly(text, encoding)) return *exact;
    std::string bytes;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
        const std::optional<std::string> one = EncodedExactly(text.substr(i, length), encoding);
        bytes += one ? *one : *EncodedExactly(u"?", encoding);
        i += length;
    }
    return bytes;
}

std::vector<char32_t> CharactersEncodingLacks(std::u16string_view text, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi:
            return CharactersFileCodePageLacks(text);
        case TextEncoding::Utf8:
            return LoneSurrogates(text);
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            break;
    }
    return {};
}

}  // namespace kiv

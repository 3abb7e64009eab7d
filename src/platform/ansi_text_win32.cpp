#include "platform/ansi_text_win32.h"
#include "platform/ansi_text.h"

#include <windows.h>

#include <climits>

namespace kiv {
namespace {

// The Win32 conversion calls take int lengths; longer input is converted in
// pieces. A byte below 0x40 is never a lead byte, so whatever it ends (itself,
// or a pair whose bad trail byte it is) a new character begins after it.
constexpr std::size_t kMaxPiece = INT_MAX / 4;

std::size_t SafeAnsiCut(std::string_view bytes, std::size_t limit) {
    std::size_t cut = limit;
    while (cut > 0 && static_cast<unsigned char>(bytes[cut - 1]) >= 0x40) --cut;
    return cut == 0 ? limit : cut;
}

void AppendFrom(UINT codePage, std::string_view bytes, std::u16string& out) {
    while (!bytes.empty()) {
        const std::size_t take =
            bytes.size() <= kMaxPiece ? bytes.size() : SafeAnsiCut(bytes, kMaxPiece);
        const int count = static_cast<int>(take);
        const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(needed));
        MultiByteToWideChar(codePage, 0, bytes.data(), count,
                            reinterpret_cast<wchar_t*>(out.data() + at), needed);
        bytes.remove_prefix(take);
    }
}

}  // namespace

ExactConversion ExactConversionFor(UINT codePage) {
    const bool utf8 = codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
    // Without the flag Windows maps by "best fit" (〜 to ～, é to e) and does
    // not even report it as a default character used. UTF-8 has an exact
    // form for every character but a lone surrogate half, which the flag
    // it takes refuses.
    if (utf8) return {WC_ERR_INVALID_CHARS, false};
    return {WC_NO_BEST_FIT_CHARS, true};
}

namespace {

std::optional<std::string> ToExactly(UINT codePage, std::u16string_view text) {
    if (text.size() > kMaxPiece) return std::nullopt;  // no path or name is that long
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int count = static_cast<int>(text.size());
    const ExactConversion conversion = ExactConversionFor(codePage);
    const DWORD flags = conversion.flags;
    BOOL usedDefault = FALSE;
    BOOL* const used = conversion.reportsDefault ? &usedDefault : nullptr;
    const int needed = WideCharToMultiByte(codePage, flags, wide, count, nullptr, 0, nullptr, used);
    if (usedDefault || (needed == 0 && count != 0)) return std::nullopt;
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, flags, wide, count, out.data(), needed, nullptr, used);
    // A lone surrogate half, or a mapping that does not come back, is no exact form either.
    std::u16string back;
    AppendFrom(codePage, out, back);
    if (usedDefault || back != text) return std::nullopt;
    return out;
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
    std::string out;
    while (!text.empty()) {
        std::size_t take = text.size() < kMaxPiece ? text.size() : kMaxPiece;
        if (take < text.size() && text[take - 1] >= 0xD800 && text[take - 1] < 0xDC00) --take;
        const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
        const int count = static_cast<int>(take);
        const int needed =
            WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(needed));
        WideCharToMultiByte(CP_ACP, 0, wide, count, out.data() + at, needed, nullptr, nullptr);
        text.remove_prefix(take);
    }
    return out;
}

void AppendFromAnsi(std::string_view bytes, std::u16string& out) {
    AppendFrom(CP_ACP, bytes, out);
}

std::u16string FromAnsi(std::string_view bytes) {
    std::u16string out;
    AppendFromAnsi(bytes, out);
    return out;
}

std::optional<std::string> ToAnsiExactly(std::u16string_view text) {
    return ToExactly(CP_ACP, text);
}

unsigned FileCodePage() {
    static const unsigned codePage = GetACP() == CP_UTF8 ? 932 : GetACP();
    return codePage;
}

void AppendFromFileCodePage(std::string_view bytes, std::u16string& out) {
    AppendFrom(FileCodePage(), bytes, out);
}

std::optional<std::string> ToFileCodePageExactly(std::u16string_view text) {
    return ToExactly(FileCodePage(), text);
}

}  // namespace kiv

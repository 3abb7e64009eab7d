#include "platform/file_error.h"

namespace kiv {
namespace {

std::u16string_view Describe(FileError::Step step) {
    switch (step) {
        case FileError::Step::Open:
            return u"を開けませんでした。";
        case FileError::Step::Read:
            return u"の読み込み中にエラーが発生しました。";
        case FileError::Step::Create:
            return u"を作成できませんでした。";
        case FileError::Step::Write:
            return u"の書き込み中にエラーが発生しました。";
        case FileError::Step::Finish:
            return u"の作成を完了できませんでした。";
        case FileError::Step::AlreadyExists:
            return u"は既に存在するため、書き込みませんでした。";
        case FileError::Step::TooLarge:
            return u"は大きすぎるため読み込めません。";
    }
    return u"の操作に失敗しました。";
}

std::u16string Compose(const std::u16string& path, FileError::Step step,
                       const std::u16string& reason) {
    std::u16string text = u"ファイル「" + path + u"」";
    text += Describe(step);
    if (!reason.empty()) text += u"\n理由: " + reason;
    return text;
}

}  // namespace

FileError::FileError(std::u16string path, Step step, std::u16string reason)
    : std::runtime_error(ToUtf8(Compose(path, step, reason))),
      path_(std::move(path)),
      step_(step),
      reason_(std::move(reason)) {}

std::u16string FileError::UserMessage() const {
    return Compose(path_, step_, reason_);
}

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

std::u16string FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t pos = 0; pos < text.size();) {
        const unsigned char lead = byte(pos++);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            continue;
        }
        // The continuation bytes a lead byte announces, and the least value
        // that needs that many (anything less is an overlong form).
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
        if (expected == 0 || got < expected || c < least || c > 0x10FFFF ||
            (c >= 0xD800 && c < 0xE000)) {
            out += u'\uFFFD';
        } else if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

}  // namespace kiv

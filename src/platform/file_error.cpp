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
    for (std::size_t pos = 0; pos < text.size();) {
        const auto lead = static_cast<unsigned char>(text[pos]);
        const std::size_t extra = lead < 0x80   ? 0
                                  : lead < 0xC2 ? 9
                                  : lead < 0xE0 ? 1
                                  : lead < 0xF0 ? 2
                                  : lead < 0xF5 ? 3
                                                : 9;
        char32_t c = extra == 0   ? lead
                     : extra == 1 ? lead & 0x1F
                     : extra == 2 ? lead & 0x0F
                                  : lead & 0x07;
        std::size_t used = 1;
        while (extra != 9 && used <= extra && pos + used < text.size() &&
               (static_cast<unsigned char>(text[pos + used]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<unsigned char>(text[pos + used]) & 0x3F);
            ++used;
        }
        pos += used;
        const bool complete = extra != 9 && used == extra + 1;
        const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (!complete || c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
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

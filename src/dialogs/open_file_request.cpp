#include "dialogs/open_file_request.h"

#include <algorithm>
#include <cstdio>

#include "platform/ansi_text.h"

namespace kiv {
namespace {

constexpr std::uint32_t kBufferTooSmall = 0x3003;  // FNERR_BUFFERTOOSMALL

std::string NulPadded(const std::string& text) {
    std::string buffer(OpenFileRequest::kBufferSize, '\0');
    if (text.size() < buffer.size()) std::copy(text.begin(), text.end(), buffer.begin());
    return buffer;
}

}  // namespace

OpenFileRequest BuildOpenFileRequest(std::u16string_view title,
                                     const std::optional<std::u16string>& initialDirectory,
                                     std::u16string_view initialFile, std::u16string_view filter) {
    OpenFileRequest request;
    for (;;) {
        const std::size_t bar = filter.find(u'|');
        request.filter += ToAnsi(filter.substr(0, bar));
        request.filter += '\0';
        if (bar == std::u16string_view::npos) break;
        filter.remove_prefix(bar + 1);
    }
    request.filter += '\0';  // ends the list

    const std::string name = ToAnsi(initialFile);
    request.file = NulPadded(name);
    request.fileTitle = NulPadded(name);
    if (initialDirectory) request.initialDirectory = ToAnsi(*initialDirectory);
    request.title = ToAnsi(title.empty() ? std::u16string_view(u"ﾌｧｲﾙを開く") : title);
    return request;
}

std::u16string ChosenPath(std::string_view file) {
    return FromAnsi(file.substr(0, file.find('\0')));
}

std::u16string OpenFileDialogFailureMessage(std::uint32_t errorCode) {
    if (errorCode == kBufferTooSmall) {
        return u"選んだファイルのパスが長すぎて受け取れませんでした。\n"
               u"短いパスのフォルダーに置いてから、もう一度選んでください。";
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(errorCode));
    const std::string digits = code;
    return u"ファイルを選ぶダイアログを表示できませんでした (エラー " +
           std::u16string(digits.begin(), digits.end()) + u")。";
}

}  // namespace kiv

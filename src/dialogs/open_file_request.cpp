#include "dialogs/open_file_request.h"

#include <algorithm>
#include <cstdio>

#include "dialogs/dialog_texts.h"

namespace kiv {
namespace {

constexpr std::uint32_t kBufferTooSmall = 0x3003;  // FNERR_BUFFERTOOSMALL

std::u16string NulPadded(std::u16string_view text) {
    std::u16string buffer(OpenFileRequest::kBufferSize, u'\0');
    if (text.size() < buffer.size()) std::copy(text.begin(), text.end(), buffer.begin());
    return buffer;
}

}  // namespace

OpenFileRequest BuildOpenFileRequest(std::u16string_view title, std::u16string_view currentFile,
                                     std::u16string_view filter) {
    OpenFileRequest request;
    for (const char16_t c : filter) request.filter += c == u'|' ? u'\0' : c;
    request.filter += u'\0';
    request.filter += u'\0';  // ends the list
    request.file = NulPadded(currentFile);
    request.fileTitle = NulPadded(currentFile);
    request.title = title.empty() ? std::u16string(u"ﾌｧｲﾙを開く") : std::u16string(title);
    return request;
}

std::u16string ChosenPath(std::u16string_view file) {
    return std::u16string(file.substr(0, file.find(u'\0')));
}

std::u16string OpenFileDialogFailureMessage(std::uint32_t errorCode) {
    if (errorCode == kBufferTooSmall) {
        return std::u16string(texts::kChosenPathTooLong);
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(errorCode));
    const std::string digits = code;
    return Fill(texts::kOpenDialogFailed, {std::u16string(digits.begin(), digits.end())});
}

}  // namespace kiv

#include "dialogs/open_file_request.h"

#include <algorithm>

#include "platform/ansi_text.h"

namespace kiv {

OpenFileRequest BuildOpenFileRequest(std::u16string_view title,
                                     const std::optional<std::u16string>& initialDirectory,
                                     std::u16string_view initialFile, std::u16string_view filter) {
    OpenFileRequest request;
    request.filter = ToAnsi(filter);
    std::replace(request.filter.begin(), request.filter.end(), '|', '\0');
    request.filter.append(2, '\0');  // ends the last pattern, then the list

    const std::string name = ToAnsi(initialFile);
    if (name.size() < OpenFileRequest::kBufferSize) {
        std::copy(name.begin(), name.end(), request.file.begin());
        std::copy(name.begin(), name.end(), request.fileTitle.begin());
    }
    if (initialDirectory) request.initialDirectory = ToAnsi(*initialDirectory);
    request.title = ToAnsi(title.empty() ? std::u16string_view(u"ﾌｧｲﾙを開く") : title);
    return request;
}

std::u16string ChosenPath(const std::array<char, OpenFileRequest::kBufferSize>& file) {
    const auto end = std::find(file.begin(), file.end(), '\0');
    return FromAnsi(std::string_view(file.data(), static_cast<std::size_t>(end - file.begin())));
}

}  // namespace kiv

#include <windows.h>

#include "platform/platform_texts.h"
#include "platform/system_error.h"

namespace kiv {

std::u16string SystemErrorText(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string reason(buffer, buffer + length);
    LocalFree(buffer);
    while (!reason.empty() &&
           (reason.back() == u'\r' || reason.back() == u'\n' || reason.back() == u' ' ||
            reason.back() == u'.' || reason.back() == u'。')) {
        reason.pop_back();
    }
    const std::string digits = std::to_string(code);
    const std::u16string number =
        Fill(texts::kErrorNumber, {std::u16string(digits.begin(), digits.end())});
    // A code the system has no words for is told by its number alone.
    return reason.empty() ? number : reason + u" (" + number + u")";
}

}  // namespace kiv

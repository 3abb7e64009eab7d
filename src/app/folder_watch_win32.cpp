#include "app/folder_watch_win32.h"

namespace kiv {
namespace {

constexpr DWORD kChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

void FolderWatch::Watch(const std::u16string& file) {
    const std::wstring path(file.begin(), file.end());
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    const std::size_t slash = full.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? L"." : full.substr(0, slash + 1);
    if (folder == folder_ && handle_) return;
    folder_ = std::move(folder);
    handle_.Reset(FindFirstChangeNotificationW(folder_.c_str(), FALSE, kChanges));
}

void FolderWatch::Rearm() {
    if (handle_ && !FindNextChangeNotification(handle_.Get())) handle_.Reset();
}

}  // namespace kiv

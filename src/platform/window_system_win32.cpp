#include "platform/window_system_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/handle_win32.h"

namespace kiv {
namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

// The ANSI functions want zero-terminated strings, and a missing name must
// reach them as a null pointer, not as "".
class OptionalName {
  public:
    explicit OptionalName(std::optional<std::string_view> name)
        : present_(name.has_value()), text_(name.value_or(std::string_view{})) {}
    const char* Get() const { return present_ ? text_.c_str() : nullptr; }

  private:
    bool present_;
    std::string text_;
};

}  // namespace

WindowHandle Win32WindowSystem::FindTopLevel(std::string_view className,
                                             std::optional<std::string_view> windowName) {
    const std::string cls(className);
    return FromHwnd(FindWindowA(cls.c_str(), OptionalName(windowName).Get()));
}

WindowHandle Win32WindowSystem::FindNextTopLevel(WindowHandle after, std::string_view className,
                                                 std::optional<std::string_view> windowName) {
    const std::string cls(className);
    return FromHwnd(
        FindWindowExA(nullptr, ToHwnd(after), cls.c_str(), OptionalName(windowName).Get()));
}

WindowHandle Win32WindowSystem::FindChild(WindowHandle parent, std::string_view className,
                                          std::optional<std::string_view> windowName) {
    const std::string cls(className);
    return FromHwnd(
        FindWindowExA(ToHwnd(parent), nullptr, cls.c_str(), OptionalName(windowName).Get()));
}

SendResult Win32WindowSystem::Send(WindowHandle window, WindowMessage message,
                                   std::uintptr_t wParam, const char* text) {
    DWORD_PTR reply = 0;
    SetLastError(ERROR_SUCCESS);
    const LRESULT sent =
        SendMessageTimeoutA(ToHwnd(window), static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                            reinterpret_cast<LPARAM>(text), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            static_cast<UINT>(replyTimeout_.count()), &reply);
    if (sent != 0) return SendResult::Delivered;
    // User Interface Privilege Isolation blocks messages to a program of a
    // higher integrity level with this error. Otherwise a window that still
    // exists but gave no reply is hung; one that vanished is simply gone.
    if (GetLastError() == ERROR_ACCESS_DENIED) return SendResult::Refused;
    return IsWindow(ToHwnd(window)) ? SendResult::NotAnswered : SendResult::Failed;
}

std::uint32_t Win32WindowSystem::ProcessOf(WindowHandle window) {
    DWORD process = 0;
    GetWindowThreadProcessId(ToHwnd(window), &process);
    return process;
}

std::uint64_t Win32WindowSystem::StartTimeOf(std::uint32_t process) {
    // The least right that gives the times, which Windows grants on the
    // user's own processes, elevated ones too.
    const UniqueHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!handle || !GetProcessTimes(handle.Get(), &created, &exited, &kernel, &user)) return 0;
    return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

std::string Win32WindowSystem::TitleOf(WindowHandle window) {
    // GetWindowText sends no message to another process's window: it reads
    // the title the system keeps.
    char title[256] = {};
    const int length = GetWindowTextA(ToHwnd(window), title, static_cast<int>(sizeof title));
    return {title, static_cast<std::size_t>(std::max(length, 0))};
}

bool Win32WindowSystem::IsMinimized(WindowHandle window) {
    return IsIconic(ToHwnd(window)) != 0;
}

void Win32WindowSystem::Restore(WindowHandle window) {
    // Asynchronous: a hung client must not hang the tool.
    ShowWindowAsync(ToHwnd(window), SW_RESTORE);
}

void Win32WindowSystem::BringToFront(WindowHandle window) {
    SetForegroundWindow(ToHwnd(window));
}

void Win32WindowSystem::Pause(std::chrono::milliseconds duration) {
    Sleep(static_cast<DWORD>(duration.count()));
}

}  // namespace kiv

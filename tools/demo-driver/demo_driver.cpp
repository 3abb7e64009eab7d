// Plays a user's part for the headless demonstration (scripts/run): says a
// macro through the running tool, or closes the tool and the stand-in client
// as their users would, so that the tool saves its settings.
//
//   demo-driver say N    select entry N (from 0) and press "発言"; returns once
//                        the macro has been said
//   demo-driver choose N choose item N of 送信先 in the tool's window menu (0:
//                        自動, then the game clients by title), by its keys
//   demo-driver close    close the tool and every stand-in client, and wait
//                        until they end
//
// Exit status 0 when done, 1 with a line on standard error when not.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string_view>

#include "standin_process.h"

namespace {

using kiv::standin::WaitFor;

constexpr std::chrono::seconds kPatience{20};

int Fail(const char* what) {
    std::fprintf(stderr, "demo-driver: %s\n", what);
    return 1;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result);
    return static_cast<LRESULT>(result);
}

HWND ToolWindow() {
    return FindWindowW(L"KivMacroMainWindow", nullptr);
}

int Say(int entry) {
    HWND list = nullptr;
    HWND say = nullptr;
    // The client's chat input up, and the tool up with its macros listed.
    const bool ready = WaitFor(
        [&] {
            if (kiv::standin::StandinClient::LogWindow() == nullptr) return false;
            HWND tool = ToolWindow();
            if (tool == nullptr || !IsWindowVisible(tool)) return false;
            list = FindWindowExW(tool, nullptr, L"ListBox", nullptr);
            say = FindWindowExW(tool, nullptr, L"Button", L"発言");
            return list != nullptr && say != nullptr && Send(list, LB_GETCOUNT) > entry;
        },
        kPatience);
    if (!ready) return Fail("the stand-in client or the tool with its macros did not appear");
    Send(list, LB_SETCURSEL, static_cast<WPARAM>(entry));
    Send(say, BM_CLICK);
    return 0;
}

// As a user does: Alt+Space, Up to 送信先 (the last item), Right into it,
// Down to the item, Enter.
int Choose(int item) {
    HWND tool = nullptr;
    if (!WaitFor([&] { return (tool = ToolWindow()) != nullptr && IsWindowVisible(tool); },
                 kPatience)) {
        return Fail("the tool did not appear");
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(tool, &pid);
    PostMessageW(tool, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    HWND menu = nullptr;
    const bool open = WaitFor(
        [&] {
            for (menu = FindWindowW(L"#32768", nullptr); menu != nullptr;
                 menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(menu, &owner);
                if (owner == pid && IsWindowVisible(menu)) return true;
            }
            return false;
        },
        kPatience);
    if (!open) return Fail("the tool's window menu did not open");
    PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RIGHT, 0);
    for (int i = 0; i < item; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    // Done once the menu is closed and the choice handled.
    if (!WaitFor([&] { return !IsWindowVisible(menu); }, kPatience)) {
        return Fail("the tool's window menu did not close");
    }
    Send(tool, WM_NULL);
    return 0;
}

// Waits for the window's program to end after asking it to close (for the
// window to go, where the program cannot be watched).
bool CloseAndWait(HWND window) {
    if (window == nullptr) return true;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    kiv::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process) return WaitFor([&] { return !IsWindow(window); }, std::chrono::seconds(15));
    return WaitForSingleObject(process.Get(), 15000) == WAIT_OBJECT_0;
}

int Close() {
    if (!CloseAndWait(ToolWindow()))
        return Fail("the tool did not end after its window was closed");
    for (int clients = 0; clients < 8; ++clients) {
        HWND client = kiv::standin::StandinClient::MainWindow();
        if (client == nullptr) return 0;
        if (!CloseAndWait(client)) {
            return Fail("a stand-in client did not end after its window was closed");
        }
    }
    return Fail("stand-in clients kept appearing");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring_view command = argc > 1 ? argv[1] : L"";
    if (command == L"say" && argc == 3)
        return Say(static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (command == L"choose" && argc == 3)
        return Choose(static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (command == L"close" && argc == 2) return Close();
    return Fail("usage: demo-driver say N | demo-driver choose N | demo-driver close");
}

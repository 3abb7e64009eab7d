// A stand-in for the game client, for tests and demonstrations: a main window
// of class "KIVCLI" showing a chat log, and the client's message log window
// with the chat input (an "Edit" child) that chat lines are typed into.
//
//   standin-client [--record FILE] [--title TITLE] [--no-log-window] [--named-edit]
//                  [--hung-ms N [--hang-after LINES]]
//
// --record FILE    append every WM_SETTEXT / WM_KEYDOWN / WM_KEYUP the chat input
//                  receives, and every activation of the main window, to FILE:
//                    <µs since start> SETTEXT <CP932 bytes in hex>
//                    <µs since start> KEYDOWN <wParam> <lParam>
//                    <µs since start> KEYUP <wParam> <lParam>
//                    <µs since start> ACTIVATE
// --title TITLE    the main window's title, to tell several apart
// --no-log-window  start without the message log window
// --named-edit     give the chat input a window name, so a search for an
//                  unnamed "Edit" child finds nothing
// --hung-ms N      stop pumping messages for N ms once the windows are up
// --hang-after LINES  ... or only once the chat input has let go of Enter
//                  LINES times: a client that stops answering partway

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

#include "platform/handle_win32.h"

namespace {

// The log window's name in CP932: メッセージログウィンドウ.
constexpr char kLogWindowName[] =
    "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x83\x8D\x83\x4F\x83\x45\x83\x42\x83\x93\x83\x68"
    "\x83\x45";

struct Options {
    std::wstring recordPath;
    std::wstring title = L"ゲームクライアント (代役)";
    bool logWindow = true;
    bool namedEdit = false;
    DWORD hungMs = 0;
    unsigned hangAfterLines = 0;
};

class Recorder {
  public:
    void Open(const std::wstring& path) {
        file_.Reset(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }

    void Write(std::string_view event, std::string_view detail = {}) {
        if (!file_) return;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const long long micros = (now.QuadPart - start_.QuadPart) * 1000000 / frequency_.QuadPart;
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%lld ", micros);
        std::string line = prefix;
        line.append(event);
        if (!detail.empty()) line.append(" ").append(detail);
        line += '\n';
        DWORD written = 0;
        // One write per line, so a reader never sees half a record.
        WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

  private:
    kiv::UniqueFile file_;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

std::string Hex(const char* bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char* p = bytes; p != nullptr && *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex.empty() ? "-" : hex;
}

std::string KeyDetail(WPARAM wParam, LPARAM lParam) {
    char text[48];
    std::snprintf(text, sizeof text, "%llu %lld", static_cast<unsigned long long>(wParam),
                  static_cast<long long>(lParam));
    return text;
}

Recorder recorder;
HWND chatLog = nullptr;
WNDPROC editProc = nullptr;
unsigned hangAfterLines = 0;
unsigned linesEnded = 0;
// Posted to the thread once the lines are in: the hang starts when the loop
// next looks, after the Enter's own reply went back.
constexpr UINT kHangNow = WM_APP + 1;

// Installed with SetWindowLongPtrA, so WM_SETTEXT arrives as the sender's
// CP932 bytes, unconverted.
LRESULT CALLBACK ChatInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            recorder.Write("SETTEXT", Hex(reinterpret_cast<const char*>(lParam)));
            break;
        case WM_KEYUP:
            if (wParam == VK_RETURN) {
                recorder.Write("KEYUP", KeyDetail(wParam, lParam));
                if (++linesEnded == hangAfterLines) {
                    PostThreadMessageW(GetCurrentThreadId(), kHangNow, 0, 0);
                }
            }
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                recorder.Write("KEYDOWN", KeyDetail(wParam, lParam));
                wchar_t line[1024];
                if (GetWindowTextW(window, line, 1024) > 0) {
                    const LRESULT index =
                        SendMessageW(chatLog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
                    SendMessageW(chatLog, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
                }
                // Past the recorder: clearing the input is the client's own doing.
                CallWindowProcA(editProc, window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
                return 0;
            }
            break;
        default:
            break;
    }
    return CallWindowProcA(editProc, window, message, wParam, lParam);
}

HFONT UiFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void FillWithChild(HWND parent, HWND child) {
    RECT client;
    GetClientRect(parent, &client);
    MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                recorder.Write("ACTIVATE");
                // In front, the stand-in lets any process take the foreground
                // from it: on Windows (not under Wine, which has no
                // foreground lock) a test driver, not in front itself, could
                // otherwise never bring the tool back. A test program only.
                AllowSetForegroundWindow(ASFW_ANY);
            }
            break;
        case WM_SIZE:
            if (chatLog != nullptr) FillWithChild(window, chatLog);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        if (HWND input = GetWindow(window, GW_CHILD)) FillWithChild(window, input);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

Options ParseOptions() {
    Options options;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; i < count; ++i) {
        const std::wstring_view arg = args[i];
        if (arg == L"--record" && i + 1 < count) {
            options.recordPath = args[++i];
        } else if (arg == L"--title" && i + 1 < count) {
            options.title = args[++i];
        } else if (arg == L"--no-log-window") {
            options.logWindow = false;
        } else if (arg == L"--named-edit") {
            options.namedEdit = true;
        } else if (arg == L"--hung-ms" && i + 1 < count) {
            options.hungMs = static_cast<DWORD>(std::wcstoul(args[++i], nullptr, 10));
        } else if (arg == L"--hang-after" && i + 1 < count) {
            options.hangAfterLines = static_cast<unsigned>(std::wcstoul(args[++i], nullptr, 10));
        }
    }
    LocalFree(args);
    return options;
}

ATOM Register(HINSTANCE instance, const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const Options options = ParseOptions();
    hangAfterLines = options.hangAfterLines;
    if (!options.recordPath.empty()) recorder.Open(options.recordPath);
    if (!Register(instance, L"KIVCLI", MainWindowProc) ||
        !Register(instance, L"KivMsgLogWindow", LogWindowProc)) {
        return 1;
    }
    const HFONT font = UiFont();

    kiv::UniqueWindow logWindow;
    if (options.logWindow) {
        logWindow.Reset(CreateWindowExA(0, "KivMsgLogWindow", kLogWindowName,
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 420, 300, 400, 90,
                                        nullptr, nullptr, instance, nullptr));
        HWND input = CreateWindowExA(0, "Edit", options.namedEdit ? "chat" : "",
                                     WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                     logWindow.Get(), nullptr, instance, nullptr);
        // The edit control keeps its text to itself; the name that window
        // searches compare against is the one DefWindowProc stores.
        if (options.namedEdit)
            DefWindowProcA(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("chat"));
        SendMessageW(input, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChatInputProc)));
        FillWithChild(logWindow.Get(), input);
    }

    HWND mainWindow = CreateWindowExW(0, L"KIVCLI", options.title.c_str(), WS_OVERLAPPEDWINDOW, 300,
                                      0, 420, 300, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) return 1;
    chatLog = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
                              mainWindow, nullptr, instance, nullptr);
    SendMessageW(chatLog, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    FillWithChild(mainWindow, chatLog);
    ShowWindow(mainWindow, show);

    if (options.hungMs > 0 && options.hangAfterLines == 0) Sleep(options.hungMs);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kHangNow) {
            Sleep(options.hungMs);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    logWindow.Reset();
    DeleteObject(font);
    return 0;
}

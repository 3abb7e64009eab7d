#pragma once

// Starts the stand-in game client from beside the calling program and reads
// back what its chat input received. For tests and measurements.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/handle_win32.h"

namespace kiv::standin {

// The log window's name in CP932: メッセージログウィンドウ.
inline constexpr char kLogWindowName[] =
    "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57\x83\x8D\x83\x4F\x83\x45\x83\x42\x83\x93\x83\x68"
    "\x83\x45";

struct Event {
    long long micros = 0;
    std::string kind;    // SETTEXT, KEYDOWN, KEYUP or ACTIVATE
    std::string detail;  // hex bytes, or "wParam lParam"
};

// Bytes as the record writes them: lower-case hex, two digits each.
inline std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

inline std::filesystem::path ProgramDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

// Polls `done` until it holds or `timeout` passes; tests never wait unbounded.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The first top-level window of `className` (and `windowName`, when given)
// that `process` owns.
inline HWND WindowOf(DWORD process, const char* className, const char* windowName = nullptr) {
    for (HWND window = FindWindowA(className, windowName); window != nullptr;
         window = FindWindowExA(nullptr, window, className, windowName)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process) return window;
    }
    return nullptr;
}

class StandinClient {
  public:
    // Returns once the client's windows exist (they do before a hung client
    // stops pumping, so waiting for them never waits on the hang).
    StandinClient(const std::filesystem::path& record, const std::wstring& options = L"")
        : record_(record) {
        std::wstring command = L"\"" + (ProgramDirectory() / L"standin-client.exe").wstring() +
                               L"\" --record \"" + record.wstring() + L"\" " + options;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            process_.Reset(info.hProcess);
            processId_ = info.dwProcessId;
            CloseHandle(info.hThread);
        }
        const bool withLogWindow = options.find(L"--no-log-window") == std::wstring::npos;
        // Wine may take long to start a program on a loaded machine.
        WaitFor([&] { return Main() != nullptr && (!withLogWindow || Log() != nullptr); },
                std::chrono::seconds(30));
    }

    ~StandinClient() { Close(); }
    // Closes it as the user would, and waits for it to end.
    void Close() {
        if (!process_) return;
        if (HWND main = Main()) PostMessageW(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.Get(), 10000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.Get(), 1);
            WaitForSingleObject(process_.Get(), 5000);
        }
        process_.Reset();
    }
    StandinClient(const StandinClient&) = delete;
    StandinClient& operator=(const StandinClient&) = delete;

    bool Started() const { return static_cast<bool>(process_) && Main() != nullptr; }
    DWORD Process() const { return processId_; }
    // This client's own windows, when several run.
    HWND Main() const { return WindowOf(processId_, "KIVCLI"); }
    HWND Log() const { return WindowOf(processId_, "KivMsgLogWindow", kLogWindowName); }
    // The first client's, when one runs.
    static HWND MainWindow() { return FindWindowA("KIVCLI", nullptr); }
    static HWND LogWindow() { return FindWindowA("KivMsgLogWindow", kLogWindowName); }

    // Every event so far, except activations of the main window.
    std::vector<Event> Received() const {
        std::vector<Event> events;
        std::ifstream in(record_, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            Event event;
            fields >> event.micros >> event.kind;
            std::getline(fields >> std::ws, event.detail);
            if (event.kind != "ACTIVATE") events.push_back(event);
        }
        return events;
    }

    // Whether its main window has come to the front since it started: the
    // activation its start brings is over.
    bool Activated() const {
        std::ifstream in(record_, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (line.ends_with(" ACTIVATE")) return true;
        }
        return false;
    }

    std::vector<Event> WaitForEvents(
        std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::vector<Event> events;
        WaitFor([&] { return (events = Received()).size() >= count; }, timeout);
        return events;
    }

  private:
    std::filesystem::path record_;
    UniqueHandle process_;
    DWORD processId_ = 0;
};

}  // namespace kiv::standin

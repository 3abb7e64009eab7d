// Start-up to the first painted window, and private memory once up: the tool
// against a minimal window program with one list box, measured in the same
// run. Under Wine with a display:
//   tests/wine/with-display.sh build/mingw-x64/bin/startup_bench.exe

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "standin_process.h"

namespace {

struct Sample {
    double millis = 0;
    double privateKb = 0;
};

struct WindowOf {
    DWORD process;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowOf*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (pid == search->process && wcscmp(cls, search->className) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

Sample Measure(const std::filesystem::path& exe, const wchar_t* className) {
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        exe.parent_path().c_str(), &startup, &info)) {
        return {};
    }
    // Shown and answering: its first paint (UpdateWindow) is behind it.
    WindowOf search{info.dwProcessId, className};
    DWORD_PTR ignored = 0;
    // Polled every millisecond: the usual 20 ms of the tests' waits would be
    // a sixth of what is measured.
    const auto deadline = start + std::chrono::seconds(20);
    for (;;) {
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr &&
            SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored)) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) break;
        Sleep(1);
    }
    Sample sample;
    sample.millis =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    // Wine leaves PrivateUsage at zero; the pagefile-backed commit is the same figure there.
    const SIZE_T privateBytes =
        memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
    sample.privateKb = static_cast<double>(privateBytes) / 1024;
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return sample;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The tool in `dir` with `tabs` macro files of 1,000 macros each open, the
// first shown; the bytes of one file.
std::size_t TabsFolder(const std::filesystem::path& dir, int tabs) {
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(kiv::standin::ProgramDirectory() / L"kivmacro.exe",
                               dir / L"kivmacro.exe");
    std::string macros;
    for (int i = 0; i < 1000; ++i) {
        macros += "party call number " + std::to_string(i) + ", gather at the gate\ttitle " +
                  std::to_string(i) + "\r\n";
    }
    std::string ini = "[Setting]\r\nFileName=" + (dir / "m1.txt").string() + "\r\n";
    if (tabs > 1) ini += "[Tabs]\r\n";
    for (int tab = 1; tab <= tabs; ++tab) {
        const auto file = dir / ("m" + std::to_string(tab) + ".txt");
        std::ofstream(file, std::ios::binary)
            .write(macros.data(), static_cast<std::streamsize>(macros.size()));
        if (tabs > 1) ini += "File" + std::to_string(tab) + "=" + file.string() + "\r\n";
    }
    std::ofstream(dir / "kivmacro.ini", std::ios::binary)
        .write(ini.data(), static_cast<std::streamsize>(ini.size()));
    return macros.size();
}

}  // namespace

int main() {
    // The tool in a folder of its own, so its settings and macro file land there.
    const auto dir = std::filesystem::temp_directory_path() /
                     ("kivmacro-startup-bench-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(kiv::standin::ProgramDirectory() / L"kivmacro.exe",
                               dir / L"kivmacro.exe");
    const auto minimal = kiv::standin::ProgramDirectory() / L"minimal_window.exe";
    Measure(dir / L"kivmacro.exe", L"KivMacroMainWindow");  // first run writes the macro file
    std::vector<double> toolMs, toolKb, minimalMs, minimalKb;
    for (int round = 0; round < 15; ++round) {  // Wine's start-up times scatter widely
        const Sample tool = Measure(dir / L"kivmacro.exe", L"KivMacroMainWindow");
        const Sample bare = Measure(minimal, L"MinimalWindow");
        toolMs.push_back(tool.millis);
        toolKb.push_back(tool.privateKb);
        minimalMs.push_back(bare.millis);
        minimalKb.push_back(bare.privateKb);
    }
    // Eight tabs against one, each of 1,000 macros.
    const std::size_t fileBytes = TabsFolder(dir / "one", 1);
    TabsFolder(dir / "eight", 8);
    std::vector<double> oneMs, oneKb, eightMs, eightKb;
    for (int round = 0; round < 15; ++round) {
        const Sample one = Measure(dir / "one" / L"kivmacro.exe", L"KivMacroMainWindow");
        const Sample eight = Measure(dir / "eight" / L"kivmacro.exe", L"KivMacroMainWindow");
        oneMs.push_back(one.millis);
        oneKb.push_back(one.privateKb);
        eightMs.push_back(eight.millis);
        eightKb.push_back(eight.privateKb);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::printf("start-up to first paint: tool %.0f ms, minimal window %.0f ms, ratio %.2f\n",
                Median(toolMs), Median(minimalMs), Median(toolMs) / Median(minimalMs));
    std::printf("private memory: tool %.0f KB, minimal window %.0f KB, ratio %.2f\n",
                Median(toolKb), Median(minimalKb), Median(toolKb) / Median(minimalKb));
    std::printf("start-up with 8 tabs of 1,000 macros: %.0f ms, one tab %.0f ms, ratio %.2f\n",
                Median(eightMs), Median(oneMs), Median(eightMs) / Median(oneMs));
    std::printf("memory of each further tab: %.0f KB for a file of %.0f KB, ratio %.2f\n",
                (Median(eightKb) - Median(oneKb)) / 7, static_cast<double>(fileBytes) / 1024,
                (Median(eightKb) - Median(oneKb)) / 7 * 1024 / static_cast<double>(fileBytes));
    std::printf("tool size: %llu bytes\n",
                static_cast<unsigned long long>(std::filesystem::file_size(
                    kiv::standin::ProgramDirectory() / L"kivmacro.exe")));
    return 0;
}

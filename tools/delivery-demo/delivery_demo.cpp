// Shows delivery at work until the main window exists: reads a macro file (the
// default one, written beside this program, unless a path is given) and types
// a few of its macros, and one of several lines, into the running game client.
//
//   delivery-demo [MACRO-FILE]

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "macro/macro_list.h"
#include "platform/file_error.h"
#include "platform/local_clock.h"
#include "platform/win32_window_system.h"

namespace {

void Say(const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::filesystem::path ProgramDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

bool WaitForClient() {
    for (int i = 0; i < 150; ++i) {
        if (FindWindowA("KIVCLI", nullptr) != nullptr) return true;
        Sleep(100);
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    kiv::MacroList macros;
    macros.SetFileName(argc > 1 ? std::filesystem::path(argv[1]).u16string()
                                : (ProgramDirectory() / L"macros.txt").u16string());
    try {
        macros.LoadData();
    } catch (const kiv::FileError& error) {
        Say(kiv::ToUtf8(error.UserMessage()));
        return 2;
    }
    Say(kiv::ToUtf8(u"マクロファイル: " + macros.FileName()) + " (" +
        std::to_string(macros.Count()) + ")");
    if (!WaitForClient()) {
        Say(kiv::ToUtf8(u"ゲームクライアントが見つかりません。"));
        return 1;
    }

    kiv::Win32WindowSystem windows;
    const kiv::Macro greeting(u"デモを始めます\\n時刻は\\n<now>", u"デモ");
    greeting.Execute(windows, kiv::LocalTimeOfDay);
    std::size_t shown = 0;
    for (const kiv::Macro& macro : macros) {
        if (++shown > 6) break;
        Say(kiv::ToUtf8(u"発言: " + macro.Title()));
        macro.Execute(windows, kiv::LocalTimeOfDay);
        Sleep(300);
    }
    return 0;
}

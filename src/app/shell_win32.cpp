#include "app/shell_win32.h"

#include <objbase.h>
#include <shellapi.h>

#include "platform/system_function.h"
#include "platform/win32_handle.h"

namespace kiv {

bool IsElevated() {
    // advapi32 is wanted only here: loaded on first use, not at every start.
    static const auto openToken =
        SystemFunction<BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE)>(L"advapi32.dll", "OpenProcessToken");
    static const auto tokenInformation =
        SystemFunction<BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD)>(
            L"advapi32.dll", "GetTokenInformation");
    HANDLE token = nullptr;
    if (openToken == nullptr || tokenInformation == nullptr ||
        !openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    const UniqueHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return tokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

namespace {

// ShellExecuteExW, with COM set up as the shell may hand the request to COM
// objects. False with the error in GetLastError().
bool RunShell(SHELLEXECUTEINFOW& info) {
    // shell32 is big and wanted only here: loaded on first use.
    static const auto shellExecute =
        SystemFunction<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(L"shell32.dll", "ShellExecuteExW");
    static const bool comReady = [] {
        const auto initializeCom =
            SystemFunction<HRESULT(WINAPI*)(LPVOID, DWORD)>(L"ole32.dll", "CoInitializeEx");
        return initializeCom != nullptr &&
               SUCCEEDED(initializeCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    (void)comReady;
    if (shellExecute == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return false;
    }
    return shellExecute(&info) != FALSE;
}

}  // namespace

Relaunch RelaunchAsAdministrator(HWND owner, const std::u16string& program, DWORD& error) {
    const std::wstring file(program.begin(), program.end());
    // The new copy starts where the program lies, whatever this one's current folder.
    const std::wstring folder = file.substr(0, file.find_last_of(L'\\'));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (RunShell(info)) return Relaunch::Started;
    error = GetLastError();
    return error == ERROR_CANCELLED ? Relaunch::Declined : Relaunch::Failed;
}

DWORD OpenInEditor(HWND owner, const std::u16string& file) {
    const std::wstring path(file.begin(), file.end());
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    // "edit", never the default verb, which for a dropped .bat or .js would
    // run it. A text file without an edit verb opens as text files open.
    info.lpVerb = L"edit";
    if (RunShell(info)) return 0;
    const std::size_t dot = path.find_last_of(L".\\/");
    if (dot != std::wstring::npos && path[dot] == L'.' &&
        CompareStringOrdinal(path.c_str() + dot, -1, L".txt", -1, TRUE) == CSTR_EQUAL) {
        info.lpVerb = nullptr;
        if (RunShell(info)) return 0;
    }
    // Notepad reads any text, whatever its name.
    const std::wstring quoted = L"\"" + path + L"\"";
    info.lpVerb = nullptr;
    info.lpFile = L"notepad.exe";
    info.lpParameters = quoted.c_str();
    return RunShell(info) ? 0 : GetLastError();
}

std::vector<std::u16string> DroppedPaths(HDROP drop) {
    static const auto query =
        SystemFunction<UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT)>(L"shell32.dll", "DragQueryFileW");
    static const auto finish = SystemFunction<void(WINAPI*)(HDROP)>(L"shell32.dll", "DragFinish");
    std::vector<std::u16string> paths;
    if (query == nullptr || finish == nullptr) return paths;
    const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(query(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(query(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.emplace_back(path.begin(), path.end());
    }
    finish(drop);
    return paths;
}

}  // namespace kiv

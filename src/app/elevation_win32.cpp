#include "app/elevation_win32.h"

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

Relaunch RelaunchAsAdministrator(HWND owner, const std::u16string& program, DWORD& error) {
    // shell32 is big and wanted only here: loaded on first use.
    static const auto shellExecute =
        SystemFunction<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(L"shell32.dll", "ShellExecuteExW");
    if (shellExecute == nullptr) {
        error = ERROR_PROC_NOT_FOUND;
        return Relaunch::Failed;
    }
    // The shell may hand the request to COM objects, which want COM set up.
    static const auto initializeCom =
        SystemFunction<HRESULT(WINAPI*)(LPVOID, DWORD)>(L"ole32.dll", "CoInitializeEx");
    if (initializeCom != nullptr) {
        initializeCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    }
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
    if (shellExecute(&info)) return Relaunch::Started;
    error = GetLastError();
    return error == ERROR_CANCELLED ? Relaunch::Declined : Relaunch::Failed;
}

}  // namespace kiv

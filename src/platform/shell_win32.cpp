#include "platform/shell_win32.h"

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/handle_win32.h"
#include "platform/system_function_win32.h"

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

// COM on the window's thread, as the shell's objects want it; ole32 is
// loaded the first time, not at every start.
bool ComReady() {
    static const bool ready = [] {
        const auto initializeCom =
            SystemFunction<HRESULT(WINAPI*)(LPVOID, DWORD)>(L"ole32.dll", "CoInitializeEx");
        if (initializeCom == nullptr) return false;
        // Already set up on this thread (a test's, say) is as good.
        const HRESULT result =
            initializeCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    }();
    return ready;
}

ShellExecuteCall shellExecuteSeam = nullptr;

// ShellExecuteExW, with COM set up as the shell may hand the request to COM
// objects. False with the error in GetLastError().
bool RunShell(SHELLEXECUTEINFOW& info) {
    if (shellExecuteSeam != nullptr) return shellExecuteSeam(&info) != FALSE;
    // shell32 is big and wanted only here: loaded on first use.
    static const auto shellExecute =
        SystemFunction<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(L"shell32.dll", "ShellExecuteExW");
    ComReady();
    if (shellExecute == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return false;
    }
    return shellExecute(&info) != FALSE;
}

}  // namespace

void SetShellExecuteCall(ShellExecuteCall call) {
    shellExecuteSeam = call;
}

Relaunch RelaunchAsAdministrator(HWND owner, const std::u16string& program, DWORD& error) {
    const std::wstring file(program.begin(), program.end());
    // The new copy starts where the program lies, whatever this one's current folder.
    // At a drive's root ("E:\\chat.exe" on a USB stick) that is "E:\\": "E:" alone
    // would be the drive's current folder.
    std::wstring folder = file.substr(0, file.find_last_of(L'\\'));
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
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

DWORD ShowInExplorer(HWND owner, const std::u16string& file) {
    // Explorer's own switch: the shell's folder functions would want COM on
    // this thread, and a file name with a comma is kept whole by the quotes.
    const std::wstring parameters = L"/select,\"" + std::wstring(file.begin(), file.end()) + L"\"";
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.nShow = SW_SHOWNORMAL;
    info.lpFile = L"explorer.exe";
    info.lpParameters = parameters.c_str();
    return RunShell(info) ? 0 : GetLastError();
}

DWORD OpenInEditor(HWND owner, const std::u16string& file) {
    const std::wstring path(file.begin(), file.end());
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.nShow = SW_SHOWNORMAL;
    // Only a .txt goes to the shell: by its "edit" verb, else as text files
    // open. Any other name is one a program may be run by: a .bat or .js has
    // no edit verb everywhere (Wine has none for .bat, and runs the file for
    // an unknown verb), so those go to Notepad, which reads any text.
    const std::size_t dot = path.find_last_of(L".\\/");
    if (dot != std::wstring::npos && path[dot] == L'.' &&
        CompareStringOrdinal(path.c_str() + dot, -1, L".txt", -1, TRUE) == CSTR_EQUAL) {
        info.lpFile = path.c_str();
        info.lpVerb = L"edit";
        if (RunShell(info)) return 0;
        info.lpVerb = nullptr;
        if (RunShell(info)) return 0;
    }
    const std::wstring quoted = L"\"" + path + L"\"";
    info.lpVerb = nullptr;
    info.lpFile = L"notepad.exe";
    info.lpParameters = quoted.c_str();
    return RunShell(info) ? 0 : GetLastError();
}

// Releases a COM interface at the end of a scope.
template <typename Interface>
class ComPointer {
  public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    Interface* operator->() const { return pointer_; }
    Interface** Out() { return &pointer_; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
    explicit operator bool() const { return pointer_ != nullptr; }

  private:
    Interface* pointer_ = nullptr;
};

std::optional<std::u16string> ShortcutTarget(const std::u16string& shortcut) {
    static const auto createInstance =
        SystemFunction<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>(
            L"ole32.dll", "CoCreateInstance");
    if (createInstance == nullptr || !ComReady()) return std::nullopt;
    ComPointer<IShellLinkW> link;
    ComPointer<IPersistFile> file;
    const std::wstring path(shortcut.begin(), shortcut.end());
    if (FAILED(createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.OutVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) ||
        FAILED(file->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    // The path as the shortcut holds it, its variables (%USERPROFILE%)
    // expanded for this process; a target moved since is not searched for
    // (that could take long and pick a look-alike): it is not found.
    std::wstring target(32768, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0) != S_OK) {
        return std::nullopt;
    }
    target.resize(wcslen(target.c_str()));
    return std::u16string(target.begin(), target.end());
}

std::optional<POINT> DropPoint(HDROP drop) {
    static const auto query =
        SystemFunction<BOOL(WINAPI*)(HDROP, POINT*)>(L"shell32.dll", "DragQueryPoint");
    POINT at{};
    // FALSE: dropped outside the client area (the caption), `at` in screen terms.
    if (query == nullptr || query(drop, &at) == FALSE) return std::nullopt;
    return at;
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

std::u16string ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return {path.begin(), path.end()};
}

}  // namespace kiv

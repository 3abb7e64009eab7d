#include <windows.h>

#include <commdlg.h>

#include "dialogs/open_file_dialog.h"
#include "dialogs/open_file_request.h"

namespace kiv {
namespace {

using GetOpenFileNameAFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);

// comdlg32 and the shell libraries behind it are loaded the first time the
// dialog is wanted, not at every start of the tool.
GetOpenFileNameAFunction OpenFileDialogFunction() {
    static const GetOpenFileNameAFunction function = [] {
        HMODULE module = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        FARPROC found = module != nullptr ? GetProcAddress(module, "GetOpenFileNameA") : nullptr;
        return reinterpret_cast<GetOpenFileNameAFunction>(reinterpret_cast<void (*)()>(found));
    }();
    return function;
}

}  // namespace

std::u16string ShowOpenFileDialog(HWND owner, std::u16string_view dialogTitle,
                                  const std::optional<std::u16string>& initialDirectory,
                                  std::u16string_view initialFile, std::u16string_view filter) {
    OpenFileRequest request =
        BuildOpenFileRequest(dialogTitle, initialDirectory, initialFile, filter);
    OPENFILENAMEA record{};
    // The record's earlier, shorter form; its size differs between 32- and
    // 64-bit Windows, so a fixed number would break one of them.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.lpstrFilter = request.filter.c_str();
    record.nFilterIndex = request.filterIndex;
    record.lpstrFile = request.file.data();
    record.nMaxFile = static_cast<DWORD>(request.file.size());
    record.lpstrFileTitle = request.fileTitle.data();
    record.nMaxFileTitle = static_cast<DWORD>(request.fileTitle.size());
    record.lpstrInitialDir = request.initialDirectory ? request.initialDirectory->c_str() : nullptr;
    record.lpstrTitle = request.title.c_str();
    record.Flags = request.flags;
    const GetOpenFileNameAFunction getOpenFileName = OpenFileDialogFunction();
    if (getOpenFileName == nullptr || !getOpenFileName(&record)) return {};
    return ChosenPath(request.file);
}

}  // namespace kiv

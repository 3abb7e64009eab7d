#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include "dialogs/open_file_dialog.h"
#include "dialogs/open_file_request.h"
#include "platform/system_function.h"

namespace kiv {
namespace {

// Puts the current directory back when it goes out of scope.
class CurrentDirectoryKeeper {
  public:
    CurrentDirectoryKeeper() {
        const DWORD size = GetCurrentDirectoryW(0, nullptr);
        saved_.resize(size);
        saved_.resize(GetCurrentDirectoryW(size, saved_.data()));
    }
    ~CurrentDirectoryKeeper() {
        if (!saved_.empty()) SetCurrentDirectoryW(saved_.c_str());
    }
    CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
    CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

  private:
    std::wstring saved_;
};

using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
using ExtendedErrorFunction = DWORD(WINAPI*)();

OpenFileDialogResult Show(GetOpenFileNameFunction getOpenFileName,
                          ExtendedErrorFunction extendedError, HWND owner,
                          std::u16string_view dialogTitle,
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
    const CurrentDirectoryKeeper keeper;
    if (!getOpenFileName(&record)) return {{}, extendedError()};
    return {ChosenPath(request.file), 0};
}

}  // namespace

OpenFileDialogResult ShowOpenFileDialog(HWND owner, std::u16string_view dialogTitle,
                                        const std::optional<std::u16string>& initialDirectory,
                                        std::u16string_view initialFile,
                                        std::u16string_view filter) {
    // comdlg32 and the shell libraries behind it are loaded the first time the
    // dialog is wanted, not at every start of the tool.
    static const auto getOpenFileName =
        SystemFunction<GetOpenFileNameFunction>(L"comdlg32.dll", "GetOpenFileNameA");
    static const auto extendedError =
        SystemFunction<ExtendedErrorFunction>(L"comdlg32.dll", "CommDlgExtendedError");
    if (getOpenFileName == nullptr || extendedError == nullptr) return {{}, CDERR_INITIALIZATION};

    OpenFileDialogResult result = Show(getOpenFileName, extendedError, owner, dialogTitle,
                                       initialDirectory, initialFile, filter);
    // A preset name the dialog will not take (a character CP932 lacks became
    // "?") would keep it from opening at all: then it opens without one.
    if (result.error == FNERR_INVALIDFILENAME && !initialFile.empty()) {
        result =
            Show(getOpenFileName, extendedError, owner, dialogTitle, initialDirectory, u"", filter);
    }
    return result;
}

}  // namespace kiv

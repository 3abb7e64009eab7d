#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include "dialogs/open_file_dialog_win32.h"
#include "dialogs/open_file_request.h"
#include "platform/system_function_win32.h"
#include "platform/wide_text.h"

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

using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
using ExtendedErrorFunction = DWORD(WINAPI*)();

OpenFileDialogResult Show(GetOpenFileNameFunction getOpenFileName,
                          ExtendedErrorFunction extendedError, HWND owner,
                          std::u16string_view dialogTitle, std::u16string_view currentFile,
                          std::u16string_view filter) {
    OpenFileRequest request = BuildOpenFileRequest(dialogTitle, currentFile, filter);
    OPENFILENAMEW record{};
    // The record's earlier, shorter form; its size differs between 32- and
    // 64-bit Windows, so a fixed number would break one of them.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = owner;
    record.lpstrFilter = Wide(request.filter);
    record.nFilterIndex = request.filterIndex;
    record.lpstrFile = Wide(request.file);
    record.nMaxFile = static_cast<DWORD>(request.file.size());
    record.lpstrFileTitle = Wide(request.fileTitle);
    record.nMaxFileTitle = static_cast<DWORD>(request.fileTitle.size());
    record.lpstrInitialDir = nullptr;  // the folder comes with the path (open_file_request.h)
    record.lpstrTitle = Wide(request.title);
    static_assert(OpenFileRequest::kFlags ==
                  (OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_CREATEPROMPT));
    record.Flags = OpenFileRequest::kFlags;
    const CurrentDirectoryKeeper keeper;
    if (!getOpenFileName(&record)) return {{}, extendedError()};
    return {ChosenPath(request.file), 0};
}

}  // namespace

OpenFileDialogResult ShowOpenFileDialog(HWND owner, std::u16string_view dialogTitle,
                                        std::u16string_view currentFile,
                                        std::u16string_view filter) {
    // comdlg32 and the shell libraries behind it are loaded the first time the
    // dialog is wanted, not at every start of the tool.
    static const auto getOpenFileName =
        SystemFunction<GetOpenFileNameFunction>(L"comdlg32.dll", "GetOpenFileNameW");
    static const auto extendedError =
        SystemFunction<ExtendedErrorFunction>(L"comdlg32.dll", "CommDlgExtendedError");
    if (getOpenFileName == nullptr || extendedError == nullptr) return {{}, CDERR_INITIALIZATION};

    OpenFileDialogResult result =
        Show(getOpenFileName, extendedError, owner, dialogTitle, currentFile, filter);
    // A preset path the dialog will not take (one saved by hand with a
    // character no file name may hold) would keep it from opening at all:
    // then it opens without one.
    if (result.error == FNERR_INVALIDFILENAME && !currentFile.empty()) {
        result = Show(getOpenFileName, extendedError, owner, dialogTitle, u"", filter);
    }
    return result;
}

}  // namespace kiv

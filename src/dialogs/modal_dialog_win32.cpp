#include "dialogs/modal_dialog_win32.h"

#include <string>

#include "platform/common_controls_win32.h"
#include "platform/owned_window_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace kiv {

INT_PTR ModalDialog::Run(HWND owner, HINSTANCE instance, int resource, DWORD controls,
                         std::u16string_view whatFailed, const wchar_t* caption) {
    std::u16string why;
    INT_PTR result = -1;
    // Registered only on request: without them the dialog cannot be made.
    if (!LoadCommonControls(controls)) {
        why = u"コモン コントロール (comctl32.dll) を読み込めませんでした。";
    } else {
        result = DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, Procedure,
                                 reinterpret_cast<LPARAM>(this));
        if (result == -1 || result == 0) why = SystemErrorText(GetLastError());
    }
    if (!why.empty()) {
        const std::u16string text = std::u16string(whatFailed) + u"\n\n" + why;
        MessageBoxOverOwner(owner, Wide(text), caption, MB_OK | MB_ICONERROR);
        return IDCANCEL;
    }
    return result;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
        case WM_INITDIALOG: {
            self->dialog_ = dialog;
            const bool focusFirst = self->Start();
            // Over the tool, not in the middle of the screen (DS_CENTER).
            CenterOnOwner(dialog);
            return focusFirst ? TRUE : FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
            } else {
                self->Command(LOWORD(wParam), HIWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace kiv

#include "dialogs/modal_dialog_win32.h"

#include <string>

#include <commctrl.h>

#include "platform/common_controls_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace kiv {

INT_PTR ModalDialog::Run(HWND owner, HINSTANCE instance, int resource,
                         std::u16string_view whatFailed, const wchar_t* caption) {
    // The tool's dialogs hold hotkey fields, a class of the common controls
    // registered only on request; without it the dialog cannot be made.
    LoadCommonControls(ICC_HOTKEY_CLASS);
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, Procedure,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1 || result == 0) {
        const std::u16string text =
            std::u16string(whatFailed) + u"\n\n" + SystemErrorText(GetLastError());
        MessageBoxW(owner, Wide(text), caption, MB_OK | MB_ICONERROR);
        return IDCANCEL;
    }
    return result;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            self->dialog_ = dialog;
            return self->Start() ? TRUE : FALSE;
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

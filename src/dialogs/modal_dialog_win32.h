#pragma once

// The skeleton of the tool's modal dialogs, each a class of its own made from
// a dialog resource: the dialog's procedure finds the object, WM_INITDIALOG
// starts it, each command goes to it, キャンセル ends it. Windows only.

#include <windows.h>

#include <string_view>

namespace kiv {

class ModalDialog {
  public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

  protected:
    ~ModalDialog() = default;

    // Shows the dialog `resource`, whose fields include the common controls
    // `controls` (ICC_ classes), over `owner` until it ends: IDOK or IDCANCEL.
    // One that could not be shown is told in a box `caption`ed, `whatFailed`
    // and why, and ends as IDCANCEL.
    INT_PTR Run(HWND owner, HINSTANCE instance, int resource, DWORD controls,
                std::u16string_view whatFailed, const wchar_t* caption);

    // At WM_INITDIALOG: true to have Windows put the focus on the first field.
    virtual bool Start() = 0;
    // WM_COMMAND from a control or a button (other than キャンセル).
    virtual void Command(int id, int notification) = 0;
    // WM_NOTIFY from a common control. FALSE lets Windows do its default; a
    // result of the dialog's own goes through DWLP_MSGRESULT, with TRUE.
    virtual INT_PTR Notify(const NMHDR&) { return FALSE; }

    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
    bool inToolFont_ = false;  // made from the template given the tool's font
};

}  // namespace kiv

#include "dialogs/modal_dialog_win32.h"

#include <optional>
#include <string>
#include <vector>

#include "dialogs/dialog_template.h"
#include "dialogs/dialog_texts.h"

#include "platform/common_controls_win32.h"
#include "platform/owned_window_win32.h"
#include "platform/system_error.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

// The dialog in the system's message font, the main window's: nothing when
// the template or the font cannot be had (then it shows as the resource says).
std::optional<std::vector<std::byte>> InToolFont(HINSTANCE instance, int resource) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    // At 96 DPI: a template's points are scaled to each monitor's DPI by the system.
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, 96)) {
        return std::nullopt;
    }
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resource), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) return std::nullopt;
    const std::u16string_view face(
        reinterpret_cast<const char16_t*>(metrics.lfMessageFont.lfFaceName));
    return WithDialogFont(
        std::span(static_cast<const std::byte*>(bytes), SizeofResource(instance, found)),
        {face, PointsAt96Dpi(metrics.lfMessageFont.lfHeight)});
}

}  // namespace

INT_PTR ModalDialog::Run(HWND owner, HINSTANCE instance, int resource, DWORD controls,
                         std::u16string_view whatFailed, const wchar_t* caption) {
    std::u16string why;
    INT_PTR result = -1;
    // Registered only on request: without them the dialog cannot be made.
    if (!LoadCommonControls(controls)) {
        why = texts::kCommonControlsMissing;
    } else {
        const std::optional<std::vector<std::byte>> shown = InToolFont(instance, resource);
        result = shown ? DialogBoxIndirectParamW(
                             instance, reinterpret_cast<const DLGTEMPLATE*>(shown->data()), owner,
                             Procedure, reinterpret_cast<LPARAM>(this))
                       : DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, Procedure,
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

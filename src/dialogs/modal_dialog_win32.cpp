#include "dialogs/modal_dialog_win32.h"

#include <commctrl.h>

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
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, 96) &&
        !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return std::nullopt;
    }
    if (metrics.lfMessageFont.lfHeight == 0) return std::nullopt;
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

// Ends a dialog in the tool's font that its monitor cannot hold whole (a
// taller face at a high scale on a small screen): it is made again from the
// template as it is, whose font is smaller.
constexpr INT_PTR kTooTallForTheToolsFont = 0x4B54;

bool FitsItsMonitor(HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!GetMonitorInfoW(
            MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST),
            &monitor)) {
        return true;
    }
    const RECT& work = monitor.rcWork;
    return frame.bottom - frame.top <= work.bottom - work.top &&
           frame.right - frame.left <= work.right - work.left;
}

// The hot key field tells its dialog of a key typed, but not of BackSpace,
// Delete or Space clearing it (Windows' and Wine's alike): the dialog is told
// here of every change a key makes. (Subclassed the classic way: the common
// controls are loaded by name, not linked.)
constexpr wchar_t kFieldProcedure[] = L"KivMacro.HotkeyField";

LRESULT CALLBACK HotkeyFieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropW(field, kFieldProcedure));
    if (previous == nullptr) return DefWindowProcW(field, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(field, kFieldProcedure);
        return CallWindowProcW(previous, field, message, wParam, lParam);
    }
    const bool key = message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP ||
                     message == WM_SYSKEYUP || message == WM_CHAR;
    if (!key) return CallWindowProcW(previous, field, message, wParam, lParam);
    const LRESULT before = SendMessageW(field, HKM_GETHOTKEY, 0, 0);
    // Space with Ctrl or Alt is a key like any other (Ctrl+Shift+Space for
    // the palette), but the field would clear itself at it.
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    const bool modifiedSpace = (ctrl || alt) && ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
                                                     ? wParam == VK_SPACE
                                                     : (message == WM_CHAR && wParam == u' '));
    LRESULT result = 0;
    if (!modifiedSpace) {
        result = CallWindowProcW(previous, field, message, wParam, lParam);
    } else if (message != WM_CHAR) {
        const BYTE modifiers =
            static_cast<BYTE>((ctrl ? HOTKEYF_CONTROL : 0) | (alt ? HOTKEYF_ALT : 0) |
                              (GetKeyState(VK_SHIFT) < 0 ? HOTKEYF_SHIFT : 0));
        SendMessageW(field, HKM_SETHOTKEY, MAKEWORD(VK_SPACE, modifiers), 0);
    }
    if (SendMessageW(field, HKM_GETHOTKEY, 0, 0) != before) {
        SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), EN_CHANGE),
                     reinterpret_cast<LPARAM>(field));
    }
    return result;
}

void WatchHotkeyFields(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, HOTKEY_CLASSW) != 0) continue;
        const LONG_PTR previous = GetWindowLongPtrW(child, GWLP_WNDPROC);
        SetPropW(child, kFieldProcedure, reinterpret_cast<HANDLE>(previous));
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HotkeyFieldProcedure));
    }
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
        inToolFont_ = shown.has_value();
        if (shown) {
            result = DialogBoxIndirectParamW(instance,
                                             reinterpret_cast<const DLGTEMPLATE*>(shown->data()),
                                             owner, Procedure, reinterpret_cast<LPARAM>(this));
        }
        if (!shown || result == kTooTallForTheToolsFont) {
            inToolFont_ = false;
            result = DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, Procedure,
                                     reinterpret_cast<LPARAM>(this));
        }
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
            if (self->inToolFont_ && !FitsItsMonitor(dialog)) {
                EndDialog(dialog, kTooTallForTheToolsFont);  // before it is ever shown
                return TRUE;
            }
            self->dialog_ = dialog;
            WatchHotkeyFields(dialog);
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
        case WM_NOTIFY:
            return self->Notify(*reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace kiv

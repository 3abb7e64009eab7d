#include "app/hotkey_dialog_win32.h"

#include <commctrl.h>

#include <string>

#include "app/resource.h"
#include "platform/common_controls.h"

namespace kiv {
namespace {

// The hotkey field speaks in its own flags.
WORD ToField(const std::optional<Hotkey>& hotkey) {
    if (!hotkey) return 0;
    BYTE flags = 0;
    if ((hotkey->modifiers & kModShift) != 0) flags |= HOTKEYF_SHIFT;
    if ((hotkey->modifiers & kModCtrl) != 0) flags |= HOTKEYF_CONTROL;
    if ((hotkey->modifiers & kModAlt) != 0) flags |= HOTKEYF_ALT;
    return MAKEWORD(static_cast<BYTE>(hotkey->key), flags);
}

std::optional<Hotkey> FromField(WORD value) {
    if (LOBYTE(value) == 0) return std::nullopt;
    const BYTE flags = HIBYTE(value);
    Hotkey hotkey{0, LOBYTE(value)};
    if ((flags & HOTKEYF_SHIFT) != 0) hotkey.modifiers |= kModShift;
    if ((flags & HOTKEYF_CONTROL) != 0) hotkey.modifiers |= kModCtrl;
    if ((flags & HOTKEYF_ALT) != 0) hotkey.modifiers |= kModAlt;
    return hotkey;
}

std::u16string Quoted(HotkeyAction action) {
    return u"「" + std::u16string(kHotkeyActionInfo[static_cast<std::size_t>(action)].name) + u"」";
}

class HotkeyDialog {
  public:
    explicit HotkeyDialog(const HotkeyDialogRequest& request) : request_(request) {}

    std::optional<HotkeySet> Run(HWND owner, HINSTANCE instance) {
        const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_HOTKEYS), owner,
                                               Procedure, reinterpret_cast<LPARAM>(this));
        if (result != IDOK) return std::nullopt;
        return chosen_;
    }

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<HotkeyDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (self == nullptr) return FALSE;
        switch (message) {
            case WM_INITDIALOG:
                self->dialog_ = dialog;
                self->Start();
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK) self->Ok();
                if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
                return TRUE;
            default:
                return FALSE;
        }
    }

    HWND Field(std::size_t action) const {
        return GetDlgItem(dialog_, IDC_HOTKEY_FIRST + static_cast<int>(action));
    }

    void Start() {
        std::u16string status;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            SendMessageW(Field(i), HKM_SETHOTKEY, ToField(request_.current[i]), 0);
            if (request_.refused[i]) {
                status += Quoted(static_cast<HotkeyAction>(i)) + u"の " +
                          FormatHotkey(*request_.current[i]) +
                          u" は、ほかのプログラムが使っているため働いていません。\n";
            }
        }
        ShowStatus(status);
    }

    // A field left as it was keeps its key as stored (the field cannot show
    // the Win key, for one).
    HotkeySet Chosen() const {
        HotkeySet chosen;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            const auto value = static_cast<WORD>(SendMessageW(Field(i), HKM_GETHOTKEY, 0, 0));
            chosen[i] =
                value == ToField(request_.current[i]) ? request_.current[i] : FromField(value);
        }
        return chosen;
    }

    void Ok() {
        const HotkeySet chosen = Chosen();
        std::u16string status;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            if (chosen[i] && !IsAllowedHotkey(*chosen[i])) {
                status += Quoted(static_cast<HotkeyAction>(i)) +
                          u"のキーは使えません。A～Z、0～9、F1～F24、テンキーの 0～9、Space、"
                          u"矢印、PageUp、PageDown、Home、End、Insert、Delete に Ctrl・Alt・Shift "
                          u"を組み合わせてください (F キーとテンキーは単独でも使えます)。\n";
            }
        }
        if (!status.empty()) {
            ShowStatus(status);
            return;
        }
        const std::array<bool, kHotkeyActions> refused = request_.registerKeys(chosen);
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            if (refused[i]) {
                status += Quoted(static_cast<HotkeyAction>(i)) + u"の " + FormatHotkey(*chosen[i]) +
                          u" は、ほかのプログラムが使っているため登録できませんでした。\n";
            }
        }
        // Told once; OK again with the same keys keeps them as they are.
        if (status.empty() || chosen == lastRefused_) {
            chosen_ = chosen;
            EndDialog(dialog_, IDOK);
            return;
        }
        lastRefused_ = chosen;
        ShowStatus(status + u"ほかのキーにするか、このまま OK を押してください。");
    }

    void ShowStatus(const std::u16string& text) const {
        SetDlgItemTextW(dialog_, IDC_HOTKEY_STATUS, reinterpret_cast<const wchar_t*>(text.c_str()));
        if (!text.empty()) MessageBeep(MB_ICONWARNING);
    }

    const HotkeyDialogRequest& request_;
    HWND dialog_ = nullptr;
    HotkeySet chosen_;
    std::optional<HotkeySet> lastRefused_;
};

}  // namespace

std::optional<HotkeySet> ShowHotkeyDialog(HWND owner, HINSTANCE instance,
                                          const HotkeyDialogRequest& request) {
    // The hotkey field lives in the common controls.
    LoadCommonControls(ICC_HOTKEY_CLASS);
    return HotkeyDialog(request).Run(owner, instance);
}

}  // namespace kiv

#include "app/hotkeys/hotkey_dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/common/app_texts.h"
#include "app/common/resource.h"
#include "app/common/tool_menu.h"
#include "app/common/tool_name.h"
#include "app/hotkeys/hotkey_refusals.h"
#include "dialogs/modal_dialog_win32.h"
#include "platform/owned_window_win32.h"
#include "platform/wide_text.h"

namespace kiv {

WORD ToHotkeyField(const std::optional<Hotkey>& hotkey) {
    if (!hotkey) return 0;
    BYTE flags = 0;
    if ((hotkey->modifiers & kModShift) != 0) flags |= HOTKEYF_SHIFT;
    if ((hotkey->modifiers & kModCtrl) != 0) flags |= HOTKEYF_CONTROL;
    if ((hotkey->modifiers & kModAlt) != 0) flags |= HOTKEYF_ALT;
    // The field names a key by its scan code: without this flag the arrows,
    // Insert, Delete, Home, End, PageUp and PageDown show as keypad keys.
    const bool extended = (hotkey->key >= VK_PRIOR && hotkey->key <= VK_DOWN) ||
                          hotkey->key == VK_INSERT || hotkey->key == VK_DELETE;
    if (extended) flags |= HOTKEYF_EXT;
    return MAKEWORD(static_cast<BYTE>(hotkey->key), flags);
}

std::optional<Hotkey> FromHotkeyField(WORD value) {
    if (LOBYTE(value) == 0) return std::nullopt;
    const BYTE flags = HIBYTE(value);
    Hotkey hotkey{0, LOBYTE(value)};
    if ((flags & HOTKEYF_SHIFT) != 0) hotkey.modifiers |= kModShift;
    if ((flags & HOTKEYF_CONTROL) != 0) hotkey.modifiers |= kModCtrl;
    if ((flags & HOTKEYF_ALT) != 0) hotkey.modifiers |= kModAlt;
    return hotkey;
}

namespace {

std::u16string_view NameOf(std::size_t action) {
    return kHotkeyActionInfo[action].name;
}

class HotkeyDialog final : public ModalDialog {
  public:
    explicit HotkeyDialog(const HotkeyDialogRequest& request) : request_(request) {}

    std::optional<HotkeyDialogResult> Run(HWND owner, HINSTANCE instance) {
        if (ModalDialog::Run(owner, instance, IDD_HOTKEYS, ICC_HOTKEY_CLASS,
                             texts::kHotkeyDialogFailed, kToolCaption) != IDOK) {
            return std::nullopt;
        }
        return HotkeyDialogResult{chosen_, removed_};
    }

  private:
    void Command(int id, int notification) override {
        if (id >= IDC_HOTKEY_FIRST && id < IDC_HOTKEY_FIRST + static_cast<int>(kHotkeyActions) &&
            notification == EN_CHANGE) {
            ShowCautions();
            ShowLiveStatus();
        }
        if (id == IDC_HOTKEY_MACROS && notification == LBN_SELCHANGE) {
            EnableWindow(Item(IDC_HOTKEY_REMOVE),
                         SendMessageW(Item(IDC_HOTKEY_MACROS), LB_GETCURSEL, 0, 0) >= 0);
        }
        if (id == IDC_HOTKEY_REMOVE) RemoveSelectedMacroKey();
        if (id == IDOK) Ok();
    }

    HWND Field(std::size_t action) const {
        return Item(IDC_HOTKEY_FIRST + static_cast<int>(action));
    }

    bool Start() override {
        std::u16string status;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            const std::optional<Hotkey>& current = request_.current[i];
            SendMessageW(Field(i), HKM_SETHOTKEY, ToHotkeyField(current), 0);
            if (!request_.refusals[i].empty()) {
                startLines_[i] = Fill(texts::kActionKeyNotWorking,
                                      {NameOf(i), FormatHotkey(*current), request_.refusals[i]});
            } else if (current && (current->modifiers & kModWin) != 0) {
                startLines_[i] =
                    Fill(texts::kActionWinKeyHint, {NameOf(i), FormatHotkey(*current)});
            }
            status += startLines_[i];
        }
        ShowStatus(status, false);
        HWND macros = Item(IDC_HOTKEY_MACROS);
        for (const std::u16string& line : request_.macroKeys) {
            SendMessageW(macros, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line)));
        }
        shown_.resize(request_.macroKeys.size());
        for (std::size_t i = 0; i < shown_.size(); ++i) shown_[i] = i;
        if (request_.macroKeys.empty()) {
            SendMessageW(macros, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Wide(std::u16string(texts::kNoMacroKeys))));
            EnableWindow(macros, FALSE);
        }
        ShowCautions();
        return true;
    }

    // The selected macro's key taken away from the list; it goes once OK is pressed.
    void RemoveSelectedMacroKey() {
        HWND macros = Item(IDC_HOTKEY_MACROS);
        const LRESULT selected = SendMessageW(macros, LB_GETCURSEL, 0, 0);
        if (selected < 0 || static_cast<std::size_t>(selected) >= shown_.size()) return;
        RemoveRow(static_cast<std::size_t>(selected));
        // The focus leaves the button before it is greyed, as a dialog moves it.
        SendMessageW(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(macros), TRUE);
        EnableWindow(Item(IDC_HOTKEY_REMOVE), FALSE);
        ShowLiveStatus();
    }

    // Told as a key is typed: what is said of a key still as it was at the
    // start, then what the rule refuses of the keys as they are now.
    void ShowLiveStatus() {
        const HotkeySet chosen = Chosen();
        std::u16string status;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            if (chosen[i] == request_.current[i]) status += startLines_[i];
        }
        ShowStatus(status + request_.check(chosen, removed_).refusals, false);
    }

    void RemoveMacroKey(std::size_t entry) {
        const auto row = std::ranges::find(shown_, entry);
        if (row != shown_.end()) RemoveRow(static_cast<std::size_t>(row - shown_.begin()));
    }

    void RemoveRow(std::size_t selected) {
        HWND macros = Item(IDC_HOTKEY_MACROS);
        removed_.push_back(shown_[selected]);
        shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(selected));
        SendMessageW(macros, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    }

    // What each key chosen costs, as the fields hold them now.
    void ShowCautions() const {
        std::u16string cautions;
        const HotkeySet chosen = Chosen();
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            if (!chosen[i]) continue;
            if (const auto caution = HotkeyCaution(*chosen[i])) {
                cautions += Fill(texts::kActionKeyCaution, {NameOf(i), *caution});
            }
        }
        SetDlgItemTextW(Dialog(), IDC_HOTKEY_CAUTION, Wide(cautions));
    }

    // A field left as it was keeps its key as stored (the field cannot show
    // the Win key, for one).
    HotkeySet Chosen() const {
        HotkeySet chosen;
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            const auto value = static_cast<WORD>(SendMessageW(Field(i), HKM_GETHOTKEY, 0, 0));
            chosen[i] = value == ToHotkeyField(request_.current[i]) ? request_.current[i]
                                                                    : FromHotkeyField(value);
        }
        return chosen;
    }

    void Ok() {
        const HotkeySet chosen = Chosen();
        const ActionKeysCheck check = request_.check(chosen, removed_);
        if (!check.refusals.empty()) {
            ShowStatus(check.refusals);
            return;
        }
        if (!check.orphanKeys.empty()) {
            if (MessageBoxOverOwner(Dialog(), Wide(check.offer), kToolCaption,
                                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
                ShowStatus(check.offer.substr(0, check.offer.rfind(u'\n')) +
                           std::u16string(texts::kOrphanKeysKept));
                return;
            }
            for (const std::size_t entry : check.orphanKeys) RemoveMacroKey(entry);
            EnableWindow(Item(IDC_HOTKEY_REMOVE),
                         SendMessageW(Item(IDC_HOTKEY_MACROS), LB_GETCURSEL, 0, 0) >= 0);
        }
        std::u16string status;
        const std::array<std::u16string, kHotkeyActions> refused = request_.registerKeys(chosen);
        for (std::size_t i = 0; i < kHotkeyActions; ++i) {
            if (!refused[i].empty()) {
                status += Fill(texts::kHotkeyRefusedLine,
                               {NameOf(i), FormatHotkey(*chosen[i]), refused[i]});
            }
        }
        // Told once; OK again with the same keys keeps them as they are.
        if (status.empty() || chosen == lastRefused_) {
            chosen_ = chosen;
            EndDialog(Dialog(), IDOK);
            return;
        }
        lastRefused_ = chosen;
        ShowStatus(status + std::u16string(texts::kKeepRefusedKeys));
    }

    void ShowStatus(const std::u16string& text, bool beep = true) const {
        SetDlgItemTextW(Dialog(), IDC_HOTKEY_STATUS, Wide(text));
        if (beep && !text.empty()) MessageBeep(MB_ICONWARNING);
    }

    const HotkeyDialogRequest& request_;
    HotkeySet chosen_;
    std::optional<HotkeySet> lastRefused_;
    std::array<std::u16string, kHotkeyActions> startLines_;  // what Start said of each key
    std::vector<std::size_t> shown_;    // the list's rows, by their positions in macroKeys
    std::vector<std::size_t> removed_;  // taken away, by the same positions
};

}  // namespace

std::optional<HotkeyDialogResult> ShowHotkeyDialog(HWND owner, HINSTANCE instance,
                                                   const HotkeyDialogRequest& request) {
    return HotkeyDialog(request).Run(owner, instance);
}

}  // namespace kiv

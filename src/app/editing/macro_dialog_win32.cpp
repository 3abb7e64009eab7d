#include "app/editing/macro_dialog_win32.h"

#include <commctrl.h>

#include "app/common/app_texts.h"
#include "app/common/resource.h"
#include "app/common/tool_name.h"
#include "app/hotkeys/hotkey_dialog_win32.h"
#include "dialogs/modal_dialog_win32.h"
#include "macro/line_preparation.h"
#include "macro/macro_form.h"
#include "platform/local_clock.h"
#include "platform/owned_window_win32.h"
#include "platform/wide_text.h"
#include "platform/window_text_win32.h"

namespace kiv {
namespace {

class MacroDialog final : public ModalDialog {
  public:
    explicit MacroDialog(const MacroDialogRequest& request)
        : request_(request), shown_(FormOf(request.macro)) {}

    std::optional<MacroDialogResult> Run(HWND owner, HINSTANCE instance) {
        if (ModalDialog::Run(owner, instance, IDD_MACRO, ICC_HOTKEY_CLASS,
                             texts::kMacroDialogFailed, kToolCaption) != IDOK) {
            return std::nullopt;
        }
        return std::move(result_);
    }

  private:
    void Command(int id, int notification) override {
        if (notification == EN_CHANGE && id >= IDC_MACRO_LINE_FIRST &&
            id < IDC_MACRO_LINE_FIRST + 3) {
            ShowPreview();
        }
        // What the status said of a field no longer holds once it changes.
        if (notification == EN_CHANGE && id == statusField_) ShowStatus(u"", 0, false);
        if (notification == EN_CHANGE && id == IDC_MACRO_HOTKEY) {
            ShowCaution();
            ShowClashOfTypedKey();
        }
        // The key's clash may be the title's (one the settings file cannot
        // keep), and the title follows the first line when it is empty.
        const bool titleField =
            id == IDC_MACRO_TITLE || (id >= IDC_MACRO_LINE_FIRST && id < IDC_MACRO_LINE_FIRST + 3);
        if (notification == EN_CHANGE && titleField && keyClashShown_) {
            ShowStatus(u"", 0, false);
            ShowClashOfTypedKey();
        }
        if (id == IDOK) Ok();
    }

    static int FieldId(MacroFormField field) {
        switch (field) {
            case MacroFormField::Title:
                return IDC_MACRO_TITLE;
            case MacroFormField::Rest:
                return IDC_MACRO_REST;
            default:
                return IDC_MACRO_LINE_FIRST + static_cast<int>(field) - 1;
        }
    }

    // Told as the key is typed, not only on OK; a key kept for a title no
    // macro has is only named, since OK asks whether to take it over.
    void ShowClashOfTypedKey() {
        bool changed = false;
        const std::optional<Hotkey> key = ChosenKey(changed);
        if (!key || !request_.hotkeyClash) return;
        const MacroForm form = Form();
        const std::u16string title = form.title.empty() ? MessageOf(form) : form.title;
        // As OK asks: a key kept moves to a new title, which must hold it too.
        if (!changed && title == request_.macro.Title()) return;
        const std::optional<MacroKeyClash> clash = request_.hotkeyClash(*key, title);
        if (!clash) return;
        ShowStatus(clash->orphanTitle
                       ? OrphanKeyNote(*clash->orphanTitle) + std::u16string(texts::kOrphanKeyAsked)
                       : clash->text,
                   IDC_MACRO_HOTKEY, false);
        keyClashShown_ = true;
    }

    static std::u16string OrphanKeyNote(const std::u16string& title) {
        return Fill(texts::kOrphanKeyNote, {title});
    }

    HWND Line(std::size_t i) const { return Item(IDC_MACRO_LINE_FIRST + static_cast<int>(i)); }

    RECT PlaceOf(HWND control) const {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    bool Start() override {
        if (request_.isNew) SetWindowTextW(Dialog(), Wide(std::u16string(texts::kNewMacroCaption)));
        SetDlgItemTextW(Dialog(), IDC_MACRO_TITLE, Wide(shown_.title));
        for (std::size_t i = 0; i < shown_.lines.size(); ++i) {
            SetWindowTextW(Line(i), Wide(shown_.lines[i]));
        }
        if (shown_.rest.empty()) {
            DropRestRow();
        } else {
            SetDlgItemTextW(Dialog(), IDC_MACRO_REST, Wide(shown_.rest));
        }
        SendDlgItemMessageW(Dialog(), IDC_MACRO_HOTKEY, HKM_SETHOTKEY,
                            ToHotkeyField(request_.hotkey), 0);
        if (request_.hotkey && (request_.hotkey->modifiers & kModWin) != 0) {
            ShowStatus(Fill(texts::kWinKeyHint, {FormatHotkey(*request_.hotkey)}), IDC_MACRO_HOTKEY,
                       false);
        }
        ShowPreview();
        ShowCaution();
        SetFocus(Item(IDC_MACRO_TITLE));
        SendDlgItemMessageW(Dialog(), IDC_MACRO_TITLE, EM_SETSEL, 0, -1);
        return false;  // the focus is set
    }

    // Most messages have no rest: its row goes, and what is below it moves
    // up into its place, so that the dialog shows no hole.
    void DropRestRow() {
        const LONG shift = PlaceOf(Item(IDC_MACRO_HOTKEY)).top - PlaceOf(Item(IDC_MACRO_REST)).top;
        const LONG below = PlaceOf(Item(IDC_MACRO_REST_NOTE)).bottom;
        for (const int id : {IDC_MACRO_REST_LABEL, IDC_MACRO_REST, IDC_MACRO_REST_NOTE}) {
            ShowWindow(Item(id), SW_HIDE);
            EnableWindow(Item(id), FALSE);  // out of the tab order and its access key
        }
        for (HWND child = GetWindow(Dialog(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const RECT place = PlaceOf(child);
            if (place.top < below) continue;
            SetWindowPos(child, nullptr, place.left, place.top - shift, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        RECT frame{};
        GetWindowRect(Dialog(), &frame);
        // Still centred where DS_CENTER put it.
        SetWindowPos(Dialog(), nullptr, frame.left, frame.top + shift / 2, frame.right - frame.left,
                     frame.bottom - frame.top - shift, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    MacroForm Form() const {
        MacroForm form{WindowText(Item(IDC_MACRO_TITLE)), {}, shown_.rest};
        for (std::size_t i = 0; i < form.lines.size(); ++i) form.lines[i] = WindowText(Line(i));
        return form;
    }

    // Also while a field holds what cannot be written: the preview shows how
    // the game would take it.
    void ShowPreview() const {
        FillContext context =
            request_.previewContext ? request_.previewContext() : FillContext{LocalTimeOfDay};
        const std::u16string shown = OneLineEach(LinesReceived(MessageOf(Form()), context));
        SetDlgItemTextW(Dialog(), IDC_MACRO_PREVIEW, Wide(shown));
    }

    // What the key in the field costs, under it.
    void ShowCaution() const {
        bool changed = false;
        const std::optional<Hotkey> key = ChosenKey(changed);
        const std::optional<std::u16string> caution = key ? HotkeyCaution(*key) : std::nullopt;
        SetDlgItemTextW(Dialog(), IDC_MACRO_HOTKEY_CAUTION, Wide(caution.value_or(u"")));
    }

    // A field left as it was keeps the key as stored: the field cannot show
    // the Win key.
    std::optional<Hotkey> ChosenKey(bool& changed) const {
        const auto value =
            static_cast<WORD>(SendDlgItemMessageW(Dialog(), IDC_MACRO_HOTKEY, HKM_GETHOTKEY, 0, 0));
        changed = value != ToHotkeyField(request_.hotkey);
        return changed ? FromHotkeyField(value) : request_.hotkey;
    }

    void Ok() {
        const MacroForm form = Form();
        ComposedMacro composed = ComposeMacro(form, request_.fileEncoding);
        if (!composed.macro) {
            ShowStatus(composed.refusal, FieldId(composed.field));
            return;
        }
        bool keyChanged = false;
        const std::optional<Hotkey> key = ChosenKey(keyChanged);
        // A kept key moves to a new title, which must be able to hold it too.
        const bool retitled = composed.macro->Title() != request_.macro.Title();
        std::optional<std::u16string> takenFrom;
        if (key && (keyChanged || retitled)) {
            std::optional<MacroKeyClash> clash;
            if (request_.hotkeyClash) clash = request_.hotkeyClash(*key, composed.macro->Title());
            // A key that does nothing where it is kept is the user's to take.
            if (clash && clash->orphanTitle &&
                MessageBoxOverOwner(Dialog(), Wide(clash->text), kToolCaption,
                                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
                takenFrom = clash->orphanTitle;
                clash.reset();
            }
            if (clash) {
                ShowStatus(clash->orphanTitle ? OrphanKeyNote(*clash->orphanTitle) +
                                                    std::u16string(texts::kChooseAnotherKey)
                                              : clash->text,
                           IDC_MACRO_HOTKEY);
                SendMessageW(Dialog(), WM_NEXTDLGCTL,
                             reinterpret_cast<WPARAM>(Item(IDC_MACRO_HOTKEY)), TRUE);
                return;
            }
        }
        result_ = MacroDialogResult{std::move(*composed.macro), request_.isNew || form != shown_,
                                    key, std::move(takenFrom)};
        EndDialog(Dialog(), IDOK);
    }

    // `field` is the control the text is about: changing it clears the text.
    void ShowStatus(const std::u16string& text, int field, bool beep = true) {
        statusField_ = text.empty() ? 0 : field;
        keyClashShown_ = false;
        SetDlgItemTextW(Dialog(), IDC_MACRO_STATUS, Wide(text));
        if (beep && !text.empty()) MessageBeep(MB_ICONWARNING);
    }

    const MacroDialogRequest& request_;
    int statusField_ = 0;
    bool keyClashShown_ = false;  // the status is the typed key's clash
    const MacroForm shown_;
    std::optional<MacroDialogResult> result_;
};

}  // namespace

std::optional<MacroDialogResult> ShowMacroDialog(HWND owner, HINSTANCE instance,
                                                 const MacroDialogRequest& request) {
    return MacroDialog(request).Run(owner, instance);
}

}  // namespace kiv

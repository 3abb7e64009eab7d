#include "app/tokens/variables_dialog_win32.h"

#include <commctrl.h>

#include "app/common/app_texts.h"
#include "app/common/resource.h"
#include "app/common/tool_name.h"
#include "app/tokens/variable_edit.h"
#include "dialogs/modal_dialog_win32.h"
#include "platform/wide_text.h"
#include "platform/window_text_win32.h"

namespace kiv {
namespace {

class VariablesDialog final : public ModalDialog {
  public:
    VariablesDialog(MacroVariables variables, TextEncoding settings)
        : variables_(std::move(variables)), settings_(settings) {}

    std::optional<MacroVariables> Run(HWND owner, HINSTANCE instance) {
        if (ModalDialog::Run(owner, instance, IDD_VARIABLES, ICC_LISTVIEW_CLASSES,
                             texts::kVariablesDialogFailed, kToolCaption) != IDOK) {
            return std::nullopt;
        }
        return variables_;
    }

  private:
    HWND List() const { return Item(IDC_VARIABLES_LIST); }

    bool Start() override {
        SendMessageW(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
        RECT client{};
        GetClientRect(List(), &client);
        const int nameWidth = (client.right - client.left) * 2 / 5;
        AddColumn(0, texts::kVariableNameColumn, nameWidth);
        AddColumn(1, texts::kVariableValueColumn,
                  client.right - client.left - nameWidth - GetSystemMetrics(SM_CXVSCROLL));
        Fill(std::nullopt);
        return true;
    }

    void AddColumn(int index, std::u16string_view heading, int width) const {
        std::u16string text(heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = Wide(text);
        column.cx = width;
        column.iSubItem = index;
        SendMessageW(List(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&column));
    }

    // The list anew, `selected` chosen and in view.
    void Fill(std::optional<std::size_t> selected) {
        filling_ = true;
        SendMessageW(List(), LVM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < variables_.size(); ++i) {
            std::u16string name = variables_[i].name;
            std::u16string value = variables_[i].value;
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.pszText = Wide(name);
            SendMessageW(List(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = Wide(value);
            SendMessageW(List(), LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        }
        if (selected) {
            LVITEMW state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(List(), LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&state));
            SendMessageW(List(), LVM_ENSUREVISIBLE, *selected, FALSE);
        }
        filling_ = false;
        EnableWindow(Item(IDC_VARIABLES_DELETE), selected.has_value());
    }

    std::optional<std::size_t> Selected() const {
        const auto row = static_cast<int>(
            SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (row < 0 || static_cast<std::size_t>(row) >= variables_.size()) return std::nullopt;
        return static_cast<std::size_t>(row);
    }

    void Command(int id, int notification) override {
        switch (id) {
            case IDC_VARIABLES_SET:
                Set();
                return;
            case IDC_VARIABLES_DELETE:
                if (const auto row = Selected()) {
                    // Off the button first: it is greyed now, and a greyed
                    // control would hold the keyboard.
                    SetFocus(Item(IDC_VARIABLES_NAME));
                    variables_.erase(variables_.begin() + static_cast<std::ptrdiff_t>(*row));
                    Fill(std::nullopt);
                    // Its name left in the field would come back with OK.
                    SetDlgItemTextW(Dialog(), IDC_VARIABLES_NAME, L"");
                    SetDlgItemTextW(Dialog(), IDC_VARIABLES_VALUE, L"");
                    SetDlgItemTextW(Dialog(), IDC_VARIABLES_STATUS, L"");
                }
                return;
            case IDC_VARIABLES_NAME:
            case IDC_VARIABLES_VALUE:
                // A reason shown is for what the fields held then.
                if (notification == EN_CHANGE) SetDlgItemTextW(Dialog(), IDC_VARIABLES_STATUS, L"");
                return;
            case IDOK:
                // A name typed and not yet added is added with OK, as the
                // player would expect of a field left filled in.
                if (!WindowText(Item(IDC_VARIABLES_NAME)).empty() && !Set()) return;
                EndDialog(Dialog(), IDOK);
                return;
            default:
                return;
        }
    }

    // Adds the name in the field, or sets the value of the one of that
    // name; true when it was set, else the reason is shown.
    bool Set() {
        const std::u16string name = WindowText(Item(IDC_VARIABLES_NAME));
        const std::u16string value = WindowText(Item(IDC_VARIABLES_VALUE));
        if (const std::optional<std::u16string> refusal = VariableRefusal(name, value, settings_)) {
            SetDlgItemTextW(Dialog(), IDC_VARIABLES_STATUS, Wide(*refusal));
            SetFocus(Item(IDC_VARIABLES_NAME));
            return false;
        }
        Fill(SetVariable(variables_, name, value));
        SetDlgItemTextW(Dialog(), IDC_VARIABLES_STATUS, L"");
        SetDlgItemTextW(Dialog(), IDC_VARIABLES_NAME, L"");
        SetDlgItemTextW(Dialog(), IDC_VARIABLES_VALUE, L"");
        SetFocus(Item(IDC_VARIABLES_NAME));
        return true;
    }

    // A row chosen fills the fields, to change its value or delete it.
    INT_PTR Notify(const NMHDR& header) override {
        if (header.idFrom != IDC_VARIABLES_LIST || header.code != LVN_ITEMCHANGED || filling_) {
            return FALSE;
        }
        // Only a change of what is selected: the focus moving fills nothing.
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (((change.uNewState ^ change.uOldState) & LVIS_SELECTED) == 0) return FALSE;
        const std::optional<std::size_t> row = Selected();
        EnableWindow(Item(IDC_VARIABLES_DELETE), row.has_value());
        if (row) {
            std::u16string name = variables_[*row].name;
            std::u16string value = variables_[*row].value;
            SetDlgItemTextW(Dialog(), IDC_VARIABLES_NAME, Wide(name));
            SetDlgItemTextW(Dialog(), IDC_VARIABLES_VALUE, Wide(value));
        }
        return FALSE;
    }

    MacroVariables variables_;
    TextEncoding settings_;
    bool filling_ = false;
};

}  // namespace

std::optional<MacroVariables> EditVariables(HWND owner, HINSTANCE instance,
                                            const MacroVariables& variables,
                                            TextEncoding settings) {
    return VariablesDialog(variables, settings).Run(owner, instance);
}

}  // namespace kiv

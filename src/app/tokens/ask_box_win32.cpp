#include "app/tokens/ask_box_win32.h"

#include "app/common/app_texts.h"
#include "app/common/resource.h"
#include "app/common/tool_name.h"
#include "dialogs/modal_dialog_win32.h"
#include "platform/wide_text.h"
#include "platform/window_text_win32.h"

namespace kiv {
namespace {

class AskBox final : public ModalDialog {
  public:
    AskBox(const std::u16string& title, const std::u16string& question)
        : title_(title), question_(question) {}

    std::optional<std::u16string> Run(HWND owner, HINSTANCE instance) {
        if (ModalDialog::Run(owner, instance, IDD_ASK, 0, texts::kAskDialogFailed, kToolCaption) !=
            IDOK) {
            return std::nullopt;
        }
        return answer_;
    }

  private:
    bool Start() override {
        SetWindowTextW(Dialog(), Wide(title_));
        SetDlgItemTextW(Dialog(), IDC_ASK_QUESTION, Wide(question_));
        FitTheQuestion();
        // Over a game that keeps itself on top of other windows.
        SetWindowPos(Dialog(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return true;
    }

    // A long question wraps onto as many lines as it takes: the box grows
    // and the field and buttons move down by what it needs past its place.
    void FitTheQuestion() const {
        const HWND text = Item(IDC_ASK_QUESTION);
        RECT place{};
        GetWindowRect(text, &place);
        RECT needed{0, 0, place.right - place.left, 0};
        if (const HDC dc = GetDC(text); dc != nullptr) {
            const HGDIOBJ old =
                SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
            DrawTextW(dc, Wide(question_), -1, &needed,
                      DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
            SelectObject(dc, old);
            ReleaseDC(text, dc);
        }
        const int more = needed.bottom - (place.bottom - place.top);
        if (more <= 0) return;
        const auto grow = [](HWND window, int by) {
            RECT rect{};
            GetWindowRect(window, &rect);
            SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top + by,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        };
        grow(text, more);
        for (const int id : {IDC_ASK_ANSWER, IDOK, IDCANCEL}) {
            const HWND item = Item(id);
            RECT rect{};
            GetWindowRect(item, &rect);
            MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&rect), 2);
            SetWindowPos(item, nullptr, rect.left, rect.top + more, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        grow(Dialog(), more);
    }

    void Command(int id, int) override {
        if (id != IDOK) return;
        answer_ = WindowText(Item(IDC_ASK_ANSWER));
        EndDialog(Dialog(), IDOK);
    }

    const std::u16string& title_;
    const std::u16string& question_;
    std::u16string answer_;
};

}  // namespace

std::optional<std::u16string> AskForAnswer(HWND owner, HINSTANCE instance,
                                           const std::u16string& title,
                                           const std::u16string& question) {
    return AskBox(title, question).Run(owner, instance);
}

}  // namespace kiv

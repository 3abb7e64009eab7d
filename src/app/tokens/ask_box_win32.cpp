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
        return true;
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

#include "platform/clipboard_win32.h"

#include <algorithm>

namespace kiv {
namespace {

constexpr DWORD kBetweenTriesMs = 10;
constexpr UINT kAnswerMs = 200;

class OpenClipboardFor {
  public:
    OpenClipboardFor(HWND owner, int tries) {
        for (int tried = 0; tried < tries && !open_; ++tried) {
            if (tried != 0) Sleep(kBetweenTriesMs);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~OpenClipboardFor() {
        if (open_) CloseClipboard();
    }
    OpenClipboardFor(const OpenClipboardFor&) = delete;
    OpenClipboardFor& operator=(const OpenClipboardFor&) = delete;
    bool Open() const { return open_; }

  private:
    bool open_ = false;
};

class LockedMemory {
  public:
    explicit LockedMemory(HGLOBAL memory)
        : memory_(memory), data_(memory != nullptr ? GlobalLock(memory) : nullptr) {}
    ~LockedMemory() {
        if (data_ != nullptr) GlobalUnlock(memory_);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    const void* Data() const { return data_; }
    SIZE_T Size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

  private:
    HGLOBAL memory_;
    void* data_;
};

// Whether the program that put the data there answers: asked for text it
// rendered late, Windows waits for it.
bool ItsOwnerAnswers() {
    const HWND owner = GetClipboardOwner();
    DWORD process = 0;
    if (owner == nullptr || GetWindowThreadProcessId(owner, &process) == 0 ||
        process == GetCurrentProcessId()) {
        return true;
    }
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs,
                               &answer) != 0;
}

}  // namespace

std::u16string ClipboardText(HWND owner, int tries) {
    const OpenClipboardFor clipboard(owner, tries);
    if (!clipboard.Open() || IsClipboardFormatAvailable(CF_UNICODETEXT) == FALSE ||
        !ItsOwnerAnswers()) {
        return {};
    }
    const LockedMemory text(GetClipboardData(CF_UNICODETEXT));
    if (text.Data() == nullptr) return {};
    // Up to its NUL, never past the memory's end: another program wrote it.
    const auto* characters = static_cast<const char16_t*>(text.Data());
    const std::size_t most =
        std::min<std::size_t>(text.Size() / sizeof(char16_t), kMostClipboardText);
    std::size_t length = 0;
    while (length < most && characters[length] != u'\0') ++length;
    return {characters, length};
}

}  // namespace kiv

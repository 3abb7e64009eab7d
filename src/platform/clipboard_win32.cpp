#include "platform/clipboard_win32.h"

namespace kiv {
namespace {

constexpr int kTries = 5;
constexpr DWORD kBetweenTriesMs = 10;

class OpenClipboardFor {
  public:
    explicit OpenClipboardFor(HWND owner) {
        for (int tried = 0; tried < kTries && !open_; ++tried) {
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

}  // namespace

std::u16string ClipboardText(HWND owner) {
    const OpenClipboardFor clipboard(owner);
    if (!clipboard.Open() || IsClipboardFormatAvailable(CF_UNICODETEXT) == FALSE) return {};
    const LockedMemory text(GetClipboardData(CF_UNICODETEXT));
    if (text.Data() == nullptr) return {};
    // Up to its NUL, never past the memory's end: another program wrote it.
    const auto* characters = static_cast<const char16_t*>(text.Data());
    const std::size_t most = text.Size() / sizeof(char16_t);
    std::size_t length = 0;
    while (length < most && characters[length] != u'\0') ++length;
    return std::u16string(characters, length);
}

}  // namespace kiv

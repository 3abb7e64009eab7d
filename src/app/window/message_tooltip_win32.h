#pragma once

// The tooltip over the list: the message of the entry under the mouse, as
// MessagePreview words it. Made on the first hover, not at start-up. Windows
// only.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace kiv {

class MessageTooltip {
  public:
    // The text for the entry at a position (from 0), or nothing for no tooltip.
    using TextFor = std::function<std::optional<std::u16string>(int entry)>;

    MessageTooltip() = default;
    MessageTooltip(const MessageTooltip&) = delete;
    MessageTooltip& operator=(const MessageTooltip&) = delete;

    // Watches the mouse over `list`, whose entries `textFor` describes.
    void Attach(HWND list, TextFor textFor);
    // The list's entries changed: what is shown may be stale.
    void Reset();
    // The list moved to a monitor of another DPI.
    void DpiChanged();

  private:
    void Clear();
    static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    void Follow(POINT mouse);
    bool MakeTooltip();

    HWND list_ = nullptr;
    WNDPROC listProcedure_ = nullptr;
    HWND tip_ = nullptr;  // the tooltip window; destroyed with the list's parent
    TextFor textFor_;
    int entry_ = -1;  // the entry the tooltip is for
    std::u16string text_;
};

}  // namespace kiv

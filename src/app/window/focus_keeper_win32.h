#pragma once

// Keeps the keyboard focus on one of the window's controls across
// deactivation, as a dialog does: the control that had it gets it back when
// the window is activated again (after a Say handed the foreground to the game,
// Alt+Tab, the taskbar). Windows only.

#include <windows.h>

namespace kiv {

class FocusKeeper {
  public:
    // `first` has the focus until another control takes it.
    void Start(HWND window, HWND first) {
        window_ = window;
        kept_ = first;
    }
    // On deactivation.
    void Remember() {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) kept_ = focus;
    }
    // On activation, and when the frame itself is given the focus.
    void Restore() const {
        if (kept_ != nullptr && IsWindow(kept_) && IsWindowEnabled(kept_)) SetFocus(kept_);
    }

  private:
    HWND window_ = nullptr;
    HWND kept_ = nullptr;
};

}  // namespace kiv

#pragma once

// A line shown for a moment near the tool's list while the player is in the
// game: which client a hotkey made the target, say. It never takes the
// focus or brings the tool forward, and it goes by itself. Windows only.

#include <windows.h>

#include <string>

namespace kiv {

class BriefTip {
  public:
    BriefTip() = default;
    BriefTip(const BriefTip&) = delete;
    BriefTip& operator=(const BriefTip&) = delete;
    ~BriefTip();

    // Shown near `list`; made on first use, not at start-up.
    void Attach(HWND list) {
        list_ = list;
        owner_ = GetAncestor(list, GA_ROOT);
    }
    // Shows `text` for about two seconds, in place of what it showed; the
    // taskbar button of `flashing` (another program's window, or none)
    // flashes as long.
    void Show(std::u16string text, HWND flashing = nullptr);
    // Only the taskbar button of `window` flashes, as long, no line shown.
    void Flash(HWND window);

    // For tests: the tooltip window, while it exists, and the window whose
    // taskbar button flashes now (Wine has no taskbar to show it).
    HWND Window() const { return tip_; }
    HWND Flashing() const { return flashing_; }

  private:
    static void CALLBACK Expired(HWND tip, UINT message, UINT_PTR id, DWORD time);
    void Hide();
    bool MakeTip();
    // `window`'s button flashes in place of the one flashing, until the timer.
    void StartFlashing(HWND window);

    HWND list_ = nullptr;
    HWND owner_ = nullptr;  // the tool's window, which owns the tooltip
    HWND tip_ = nullptr;
    HWND flashing_ = nullptr;
};

}  // namespace kiv

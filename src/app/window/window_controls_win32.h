#pragma once

// The main window's controls: the list of titles and the three buttons, made
// in their tab order, in the system's message font at the window's DPI, and
// placed by the layout rules (layout.h) as the window is sized. Windows only.

#include <windows.h>

#include "app/window/layout.h"
#include "platform/handle_win32.h"

namespace kiv {

class WindowControls {
  public:
    enum Id : int { kList = 100, kSay = 101, kSayNext = 102, kReload = 103 };

    void Create(HWND window, HINSTANCE instance);
    // The find box and its count, placed above the list while the box shows.
    void AddFindRow(HWND box, HWND count);
    // The tab strip, placed above them while it shows.
    void AddTabStrip(HWND strip);
    // The font for the window's DPI now; after a DPI change, again.
    void UpdateFont(unsigned dpi);
    void LayOut(HWND window, unsigned dpi);

    HWND List() const { return list_; }
    HWND Say() const { return say_; }

  private:
    void PlaceFindRow(unsigned dpi);

    HWND list_ = nullptr;
    HWND say_ = nullptr;
    HWND sayNext_ = nullptr;
    HWND reload_ = nullptr;
    HWND findBox_ = nullptr;
    HWND findCount_ = nullptr;
    HWND tabStrip_ = nullptr;
    UniqueFont font_;
    MainControls layout_ = DesignControls();
};

// The window's own DPI (96 where the system does not say).
unsigned DpiOf(HWND window);

}  // namespace kiv

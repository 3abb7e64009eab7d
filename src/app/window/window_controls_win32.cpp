#include "app/window/window_controls_win32.h"

#include <commctrl.h>

#include <algorithm>

namespace kiv {

void WindowControls::Create(HWND window, HINSTANCE instance) {
    const auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id,
                          DWORD exStyle = 0) {
        return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0,
                               0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               instance, nullptr);
    };
    // Creation order is the tab order: list, 発言, 発言して次へ, 設定再読込.
    list_ = make(L"ListBox", L"", WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kList,
                 WS_EX_CLIENTEDGE);
    say_ = make(L"Button", L"発言", BS_DEFPUSHBUTTON, kSay);
    sayNext_ = make(L"Button", L"発言して次へ", BS_PUSHBUTTON, kSayNext);
    reload_ = make(L"Button", L"設定再読込", BS_PUSHBUTTON, kReload);
    UpdateFont(DpiOf(window));
}

void WindowControls::AddFindRow(HWND box, HWND count) {
    findBox_ = box;
    findCount_ = count;
    if (font_) {
        for (HWND control : {findBox_, findCount_}) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
        }
    }
}

void WindowControls::AddTabStrip(HWND strip) {
    tabStrip_ = strip;
    if (font_ && tabStrip_ != nullptr) {
        SendMessageW(tabStrip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
}

// The system's message font at the window's DPI, as every Windows program shows it.
void WindowControls::UpdateFont(unsigned dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!font) return;
    for (HWND control : {list_, say_, sayNext_, reload_, findBox_, findCount_, tabStrip_}) {
        if (control != nullptr) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        }
    }
    font_ = std::move(font);
}

void WindowControls::LayOut(HWND window, unsigned dpi) {
    if (list_ == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    FitFixedSizesToPixels(layout_, dpi);
    const auto place = [dpi](HWND control, const TwipsRect& r) {
        MoveWindow(control, TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi),
                   TwipsToPixels(r.width, dpi), TwipsToPixels(r.height, dpi), TRUE);
    };
    // The find box as high as a button: a line of the same font.
    const bool finding =
        findBox_ != nullptr && (GetWindowLongPtrW(findBox_, GWL_STYLE) & WS_VISIBLE) != 0;
    // The strip as high as its tabs in the font: its display area left out.
    float stripHeight = 0;
    if (tabStrip_ != nullptr && (GetWindowLongPtrW(tabStrip_, GWL_STYLE) & WS_VISIBLE) != 0) {
        RECT tabs{0, 0, client.right, 0};
        TabCtrl_AdjustRect(tabStrip_, TRUE, &tabs);
        stripHeight = PixelsToTwips(tabs.bottom - tabs.top, dpi);
    }
    kiv::LayOut(
        layout_, PixelsToTwips(client.right, dpi), PixelsToTwips(client.bottom, dpi),
        [&](const TwipsRect& asked) {
            place(list_, asked);
            RECT placed{};
            GetWindowRect(list_, &placed);
            return PixelsToTwips(placed.bottom - placed.top, dpi);
        },
        finding ? layout_.say.height : 0, stripHeight);
    if (stripHeight > 0) place(tabStrip_, layout_.tabStrip);
    if (finding) PlaceFindRow(dpi);
    place(say_, layout_.say);
    place(sayNext_, layout_.sayNext);
    place(reload_, layout_.reload);
}

// The count at the box's right end, as wide as its text.
void WindowControls::PlaceFindRow(unsigned dpi) {
    const int left = TwipsToPixels(layout_.findBox.left, dpi);
    const int top = TwipsToPixels(layout_.findBox.top, dpi);
    const int width = TwipsToPixels(layout_.findBox.width, dpi);
    const int height = TwipsToPixels(layout_.findBox.height, dpi);
    SIZE text{};
    if (HDC dc = GetDC(findCount_)) {
        const HGDIOBJ old = SelectObject(dc, font_.Get());
        wchar_t count[32] = {};
        const int length = GetWindowTextW(findCount_, count, 32);
        GetTextExtentPoint32W(dc, count, length, &text);
        SelectObject(dc, old);
        ReleaseDC(findCount_, dc);
    }
    // The count right-aligned, off the window's edge as the box's text is
    // off the box's.
    const int pad = MulDiv(4, static_cast<int>(dpi), 96);
    const int countWidth = std::min(width / 2, static_cast<int>(text.cx) + 3 * pad);
    MoveWindow(findBox_, left, top, width - countWidth, height, TRUE);
    // Right-aligned, its old pixels copied to where it moved would leave
    // digits of the last count beside the new one.
    SetWindowPos(findCount_, nullptr, left + width - countWidth, top, countWidth - pad, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

unsigned DpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi == 0 ? 96 : dpi;
}

}  // namespace kiv

#include "app/window/window_controls_win32.h"

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

// The system's message font at the window's DPI, as every Windows program shows it.
void WindowControls::UpdateFont(unsigned dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!font) return;
    for (HWND control : {list_, say_, sayNext_, reload_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
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
    kiv::LayOut(layout_, PixelsToTwips(client.right, dpi), PixelsToTwips(client.bottom, dpi),
                [&](const TwipsRect& asked) {
                    place(list_, asked);
                    RECT placed{};
                    GetWindowRect(list_, &placed);
                    return PixelsToTwips(placed.bottom - placed.top, dpi);
                });
    place(say_, layout_.say);
    place(sayNext_, layout_.sayNext);
    place(reload_, layout_.reload);
}

unsigned DpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi == 0 ? 96 : dpi;
}

}  // namespace kiv

#include "app/notices/brief_tip_win32.h"

#include <commctrl.h>

#include "platform/common_controls_win32.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

// Not 1 to 3: the tooltip's own timers may use those on the same window.
constexpr UINT_PTR kTimerId = 0x4B49;
constexpr UINT kShownMs = 2000;
constexpr wchar_t kSelf[] = L"KivMacro.BriefTip";

// Another program's window: one that stopped answering is left alone, as
// nothing is documented of what the call waits for.
void SetFlashing(HWND window, DWORD flags) {
    if (!IsWindow(window) || IsHungAppWindow(window)) return;
    FLASHWINFO flash{sizeof flash, window, flags, 0, 0};
    FlashWindowEx(&flash);
}

}  // namespace

BriefTip::~BriefTip() {
    // The flashing is the client's, and outlives the tool's windows.
    if (flashing_ != nullptr) SetFlashing(flashing_, FLASHW_STOP);
    if (tip_ == nullptr || !IsWindow(tip_)) return;
    KillTimer(tip_, kTimerId);
    RemovePropW(tip_, kSelf);
}

bool BriefTip::MakeTip() {
    if (tip_ != nullptr && IsWindow(tip_)) return true;
    if (!LoadCommonControls(ICC_BAR_CLASSES)) return false;
    // Tracked, so that it shows where it is put and stays until hidden;
    // ALWAYSTIP, so that it shows while the tool is not the active window.
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, nullptr, nullptr);
    if (tip_ == nullptr) return false;
    SetPropW(tip_, kSelf, this);
    TOOLINFOW info = ToolInfo(owner_);
    info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    info.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return true;
}

void BriefTip::Show(std::u16string text, HWND flashing) {
    if (list_ == nullptr || !MakeTip()) return;
    TOOLINFOW info = ToolInfo(owner_);
    info.lpszText = Wide(text);
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    // Over the list's top left corner; a minimised tool has no list on
    // screen, so then by the mouse.
    POINT at{};
    if (IsIconic(owner_)) {
        GetCursorPos(&at);
        at.y += GetSystemMetricsForDpi(SM_CYCURSOR, GetDpiForWindow(list_)) / 2;
    } else {
        const int margin = MulDiv(8, static_cast<int>(GetDpiForWindow(list_)), 96);
        at = {margin, margin};
        ClientToScreen(list_, &at);
    }
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    StartFlashing(flashing);
}

void BriefTip::Flash(HWND window) {
    // The tooltip's window keeps the timer that stops it.
    if (window != nullptr && list_ != nullptr && MakeTip()) StartFlashing(window);
}

void BriefTip::StartFlashing(HWND window) {
    if (flashing_ != nullptr && flashing_ != window) SetFlashing(flashing_, FLASHW_STOP);
    flashing_ = window;
    if (flashing_ != nullptr) SetFlashing(flashing_, FLASHW_TRAY | FLASHW_TIMER);
    SetTimer(tip_, kTimerId, kShownMs, Expired);
}

void CALLBACK BriefTip::Expired(HWND tip, UINT, UINT_PTR id, DWORD) {
    KillTimer(tip, id);
    if (auto* self = static_cast<BriefTip*>(GetPropW(tip, kSelf))) self->Hide();
}

void BriefTip::Hide() {
    TOOLINFOW info = ToolInfo(owner_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    // Flashing stopped by hand: a flash by count leaves the button lit until
    // the client is next activated.
    if (flashing_ != nullptr) SetFlashing(flashing_, FLASHW_STOP);
    flashing_ = nullptr;
}

}  // namespace kiv

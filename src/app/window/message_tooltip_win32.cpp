#include "app/window/message_tooltip_win32.h"

#include <commctrl.h>

#include "platform/common_controls_win32.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

constexpr int kMaxWidthAt96Dpi = 360;  // wider messages wrap

}  // namespace

void MessageTooltip::Attach(HWND list, TextFor textFor) {
    list_ = list;
    textFor_ = std::move(textFor);
    // The list box keeps no data of its own there.
    SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProcedure)));
}

void MessageTooltip::DpiChanged() {
    if (tip_ == nullptr) return;
    // Wrapped at a readable width; \r\n ends a line.
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0,
                 MulDiv(kMaxWidthAt96Dpi, static_cast<int>(GetDpiForWindow(list_)), 96));
}

void MessageTooltip::Reset() {
    entry_ = -1;
    Clear();
}

// No text as well: an empty tool is never shown, whatever comes next, and
// the mouse over no entry finds nothing left of an entry it was over.
void MessageTooltip::Clear() {
    if (tip_ == nullptr) return;
    text_.clear();
    TOOLINFOW info = ToolInfo(list_);
    info.lpszText = Wide(text_);
    SendMessageW(tip_, TTM_POP, 0, 0);
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(tip_, TTM_ACTIVATE, FALSE, 0);
}

LRESULT CALLBACK MessageTooltip::ListProcedure(HWND list, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self = reinterpret_cast<MessageTooltip*>(GetWindowLongPtrW(list, GWLP_USERDATA));
    switch (message) {
        case WM_MOUSEMOVE:
            self->Follow({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            break;
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_KEYDOWN:
            self->Reset();  // the entry under the mouse may change without it moving
            break;
        default:
            break;
    }
    return CallWindowProcW(self->listProcedure_, list, message, wParam, lParam);
}

void MessageTooltip::Follow(POINT mouse) {
    const auto hit =
        static_cast<DWORD>(SendMessageW(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(mouse.x, mouse.y)));
    const int entry = HIWORD(hit) != 0 ? -1 : static_cast<int>(LOWORD(hit));
    if (entry == entry_) return;
    entry_ = entry;
    const std::optional<std::u16string> text = entry >= 0 ? textFor_(entry) : std::nullopt;
    if (!text) {
        Clear();
        return;
    }
    if (tip_ == nullptr && !MakeTooltip()) return;
    text_ = *text;
    TOOLINFOW info = ToolInfo(list_);
    // LB_ITEMFROMPOINT gives the low word only; past 65,535 the rectangle is
    // the whole list.
    if (SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(entry),
                     reinterpret_cast<LPARAM>(&info.rect)) == LB_ERR) {
        GetClientRect(list_, &info.rect);
    }
    SendMessageW(tip_, TTM_POP, 0, 0);
    SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    info.lpszText = Wide(text_);
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(tip_, TTM_ACTIVATE, TRUE, 0);
}

bool MessageTooltip::MakeTooltip() {
    if (!LoadCommonControls(ICC_BAR_CLASSES)) return false;
    tip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, GetParent(list_), nullptr, nullptr, nullptr);
    if (tip_ == nullptr) return false;
    TOOLINFOW info = ToolInfo(list_);
    info.uFlags = TTF_SUBCLASS;
    info.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    DpiChanged();
    // Long messages want time to be read.
    SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    return true;
}

}  // namespace kiv

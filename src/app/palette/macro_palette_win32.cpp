#include "app/palette/macro_palette_win32.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "app/common/app_texts.h"
#include "app/common/key_press.h"
#include "app/palette/palette_order.h"
#include "app/palette/palette_place.h"
#include "macro/message_preview.h"
#include "platform/local_clock.h"
#include "platform/wide_text.h"
#include "platform/window_text_win32.h"

namespace kiv {
namespace {

// The palette's size at 96 DPI: a box and ten rows.
constexpr int kWidth = 520;
constexpr int kRows = 10;
constexpr UINT kCloseSoon = WM_APP + 1;  // the palette lost the keyboard
constexpr UINT_PTR kBuildSearch = 1;     // a timer: it comes after the first paint

int Scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

// The message's first line as the hover preview shows it, marked when
// more lines follow.
std::u16string FirstLine(const Macro& macro, FillContext context) {
    std::u16string text = MessagePreview(macro.Message(), macro.Title(), context).value_or(u"");
    const std::size_t end = text.find_first_of(u"\r\n");
    if (end != std::u16string::npos) text.replace(end, std::u16string::npos, u" …");
    return text;
}

PixelRect WorkAreaAt(const PixelRect& around) {
    const RECT rect{around.left, around.top, around.right, around.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor);
    return {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
}

}  // namespace

MacroPalette::~MacroPalette() {
    Destroy();
}

void MacroPalette::Attach(Host host) {
    host_ = std::move(host);
    late_.Attach(host_.window, host_.timer, [this] {
        if (!Kept() || !host_.save) return;
        written_ = true;
        host_.save();
    });
}

void MacroPalette::Start(MacroUsage usage, FavoriteMacros favourites, bool kept) {
    usage_ = std::move(usage);
    favourites_ = std::move(favourites);
    keptAtStart_ = kept;
}

void MacroPalette::Open() {
    if (host_.holds().Any(Hold::Dialog | Hold::KeysFree | Hold::Delivering | Hold::Menu |
                          Hold::ShuttingDown)) {
        return;
    }
    // One key opens it and closes it again.
    if (IsOpen()) {
        Close();
        return;
    }
    cameFrom_ = GetForegroundWindow();
    const std::optional<PixelRect> chatInput = host_.cameFrom(cameFrom_);
    if (!Create(chatInput)) return;
    // In front at once, while the key press still lets this process take
    // the foreground; where Windows refused it, a palette without the
    // keyboard would only cover the game.
    ShowWindow(window_.Get(), SW_SHOW);
    SetForegroundWindow(window_.Get());
    if (GetForegroundWindow() != window_.Get()) {
        Destroy();
        return;
    }
    SetFocus(box_);
    LoadRows();
    query_.clear();
    std::vector<std::size_t> every(all_.size());
    std::iota(every.begin(), every.end(), std::size_t{0});
    ShowRows(every);
    // After the first paint (a timer comes after every paint, a posted
    // message before): the rows need no search until the first letter.
    SetTimer(window_.Get(), kBuildSearch, USER_TIMER_MINIMUM, nullptr);
}

void MacroPalette::LoadRows() {
    all_.clear();
    pinned_.clear();
    scores_.clear();
    searches_.clear();
    firstRows_.clear();
    const int today = LocalDayNumber();
    for (std::size_t tab = 0; tab < host_.tabCount(); ++tab) {
        const MacroList& list = host_.listOf(tab);
        const FileMacros file = FileOf(list);
        const std::vector<bool> pinned = favourites_.Marks(file);
        const std::vector<double> scores = usage_.Scores(file, today);
        firstRows_.push_back(all_.size());
        for (std::size_t position = 1; position <= list.Count(); ++position) {
            all_.push_back({tab, position});
            pinned_.push_back(position <= pinned.size() && pinned[position - 1]);
            scores_.push_back(position <= scores.size() ? scores[position - 1] : 0.0);
        }
    }
}

// A search a tab: a macro is in one file, and a word never spans two.
void MacroPalette::BuildSearch() {
    if (!searches_.empty() || firstRows_.empty()) return;
    for (std::size_t tab = 0; tab < firstRows_.size() && tab < host_.tabCount(); ++tab) {
        const MacroList& list = host_.listOf(tab);
        searches_.push_back(host_.readings ? MacroSearch(list, host_.readings(list))
                                           : MacroSearch(list));
    }
}

// The rows the query finds, in the tabs' order and each file's.
std::vector<std::size_t> MacroPalette::Found() const {
    std::vector<std::size_t> found;
    for (std::size_t tab = 0; tab < searches_.size(); ++tab) {
        for (const std::size_t macro : searches_[tab].Find(query_)) {
            const std::size_t row = firstRows_[tab] + macro;
            if (row < all_.size() && all_[row].tab == tab) found.push_back(row);
        }
    }
    return found;
}

bool MacroPalette::Create(const std::optional<PixelRect>& chatInput) {
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    const bool registered =
        GetClassInfoExW(host_.instance, kClassName, &known) != 0 || [instance = host_.instance] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = instance;
            windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            windowClass.lpszClassName = kClassName;
            return RegisterClassExW(&windowClass) != 0;
        }();
    if (!registered) return false;
    POINT mouse{};
    GetCursorPos(&mouse);
    const PixelRect around =
        chatInput.value_or(PixelRect{mouse.x, mouse.y, mouse.x + 1, mouse.y + 1});
    // Owned by no window: over the game, not brought up with the tool's own.
    window_.Reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"",
                                  WS_POPUP | WS_BORDER, around.left, around.top, 1, 1, nullptr,
                                  nullptr, host_.instance, this));
    if (!window_) return false;
    const UINT dpi = std::max(GetDpiForWindow(window_.Get()), 96U);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    }
    font_.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
    box_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                           0, 0, 0, 0, window_.Get(), reinterpret_cast<HMENU>(kBox), host_.instance,
                           nullptr);
    list_ = CreateWindowExW(0, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | LBS_NOTIFY |
                                LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT,
                            0, 0, 0, 0, window_.Get(), reinterpret_cast<HMENU>(kList),
                            host_.instance, nullptr);
    // Over the list when nothing is found, so that an empty palette is not
    // taken for a broken one.
    empty_ = CreateWindowExW(0, L"STATIC", Wide(std::u16string(texts::kPaletteFindsNothing)),
                             WS_CHILD | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0, window_.Get(), nullptr,
                             host_.instance, nullptr);
    if (box_ == nullptr || list_ == nullptr) {
        Destroy();
        return false;
    }
    for (HWND control : {box_, list_, empty_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
    SetPropW(box_, kClassName, this);
    boxProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProcedure)));
    const int fontHeight = std::abs(metrics.lfMessageFont.lfHeight);
    rowHeight_ = fontHeight + Scaled(8, dpi);
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, rowHeight_);
    const int boxHeight = fontHeight + Scaled(12, dpi);
    const int border = 2 * GetSystemMetricsForDpi(SM_CYBORDER, dpi);
    const int width = Scaled(kWidth, dpi);
    const int height = boxHeight + kRows * rowHeight_ + border + Scaled(2, dpi);
    const PixelRect place =
        PalettePlace(width, height, chatInput, {mouse.x, mouse.y}, WorkAreaAt(around));
    SetWindowPos(window_.Get(), HWND_TOPMOST, place.left, place.top, place.Width(), place.Height(),
                 SWP_NOACTIVATE);
    LayOut();
    return true;
}

void MacroPalette::LayOut() {
    RECT client{};
    GetClientRect(window_.Get(), &client);
    const UINT dpi = std::max(GetDpiForWindow(window_.Get()), 96U);
    const int boxHeight = rowHeight_ - Scaled(8, dpi) + Scaled(12, dpi);
    MoveWindow(box_, 0, 0, client.right, boxHeight, FALSE);
    MoveWindow(list_, 0, boxHeight, client.right, client.bottom - boxHeight, FALSE);
    if (empty_ != nullptr) {
        MoveWindow(empty_, 0, boxHeight + rowHeight_ / 2, client.right, rowHeight_, FALSE);
    }
}

std::vector<PaletteMacro> MacroPalette::Rows() const {
    std::vector<PaletteMacro> rows;
    rows.reserve(shown_.size());
    for (const std::size_t row : shown_) rows.push_back(all_[row]);
    return rows;
}

void MacroPalette::ShowRows(const std::vector<std::size_t>& found) {
    shown_ = PaletteOrder(found, pinned_, scores_);
    SendMessageW(list_, LB_SETCOUNT, shown_.size(), 0);
    SendMessageW(list_, LB_SETCURSEL, shown_.empty() ? static_cast<WPARAM>(-1) : 0, 0);
    if (empty_ != nullptr) {
        ShowWindow(empty_, shown_.empty() ? SW_SHOWNA : SW_HIDE);
        if (shown_.empty())
            SetWindowPos(empty_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// What the input method committed narrows the rows; nothing while it composes.
void MacroPalette::Narrow() {
    if (!IsOpen() || composing_) return;
    const std::u16string text = WindowText(box_);
    if (text == query_) return;
    query_ = text;
    if (!HasSearchWords(query_)) {
        std::vector<std::size_t> every(all_.size());
        std::iota(every.begin(), every.end(), std::size_t{0});
        ShowRows(every);
        return;
    }
    BuildSearch();
    ShowRows(Found());
}

void MacroPalette::SayRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return;
    const PaletteMacro macro = all_[shown_[static_cast<std::size_t>(row)]];
    // A reload may have taken it away meanwhile.
    if (macro.tab >= host_.tabCount() || macro.position > host_.listOf(macro.tab).Count()) return;
    const std::optional<DeliveryOutcome> outcome = host_.say(macro);
    if (!outcome) return;  // nothing started: the palette stays
    // Brought forward, the client has the keyboard. Not said, the tool comes
    // forward instead, with why (a client that stopped answering is never
    // brought forward, nor is the player left guessing over the game).
    // Given away before the palette goes, while this process may still.
    if (GetForegroundWindow() == window_.Get()) {
        closing_ = true;
        if (*outcome != DeliveryOutcome::Delivered && host_.showTool) {
            host_.showTool();
        } else {
            GiveBack();
        }
        closing_ = false;
    }
    Destroy();
}

void MacroPalette::ToggleRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return;
    const std::size_t index = shown_[static_cast<std::size_t>(row)];
    const PaletteMacro macro = all_[index];
    if (macro.tab >= host_.tabCount()) return;
    const MacroList& list = host_.listOf(macro.tab);
    if (macro.position > list.Count()) return;
    favourites_.Toggle(FileOf(list), macro.position);
    pinned_[index] = IsFavourite(list, macro.position);
    Changed();
    InvalidateRect(list_, nullptr, FALSE);
}

void MacroPalette::Close() {
    if (!IsOpen()) return;
    closing_ = true;
    GiveBack();
    closing_ = false;
    Destroy();
}

// A game that left full screen as the palette took the keyboard is
// minimised: restored as a saying restores it.
void MacroPalette::GiveBack() {
    if (cameFrom_ == nullptr || !IsWindow(cameFrom_)) return;
    if (IsIconic(cameFrom_)) ShowWindow(cameFrom_, SW_RESTORE);
    SetForegroundWindow(cameFrom_);
}

void MacroPalette::Destroy() {
    if (!window_) return;
    closing_ = true;
    if (box_ != nullptr && boxProcedure_ != nullptr) {
        SetWindowLongPtrW(box_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxProcedure_));
        RemovePropW(box_, kClassName);
    }
    window_.Reset();  // its WM_NCDESTROY forgets the rest
    closing_ = false;
}

void MacroPalette::ReadingsCame() {
    if (!IsOpen() || searches_.empty()) return;
    searches_.clear();
    if (!HasSearchWords(query_)) return;
    BuildSearch();
    ShowRows(Found());
}

bool MacroPalette::PreTranslate(MSG& message) {
    if (!IsOpen() || (message.hwnd != window_.Get() && !IsChild(window_.Get(), message.hwnd))) {
        return false;
    }
    // Keys typed into the list go on in the box.
    if (message.hwnd == list_ &&
        (message.message == WM_CHAR || message.message == WM_KEYDOWN ||
         message.message == WM_SYSKEYDOWN || message.message == WM_SYSCHAR)) {
        message.hwnd = box_;
        SetFocus(box_);
    }
    const bool buttonUp = message.message == WM_LBUTTONUP;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (buttonUp && doubleClicked_ >= 0) SayRow(std::exchange(doubleClicked_, -1));
    return true;
}

LRESULT CALLBACK MacroPalette::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<MacroPalette*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_.Get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT MacroPalette::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // The player clicked elsewhere: gone, taking nothing back.
            if (LOWORD(wParam) == WA_INACTIVE && !closing_) {
                PostMessageW(window_.Get(), kCloseSoon, 0, 0);
            } else if (LOWORD(wParam) != WA_INACTIVE && box_ != nullptr) {
                SetFocus(box_);
            }
            return 0;
        case kCloseSoon:
            if (GetForegroundWindow() != window_.Get()) Destroy();
            return 0;
        case WM_TIMER:
            if (wParam == kBuildSearch) {
                KillTimer(window_.Get(), kBuildSearch);
                BuildSearch();
                return 0;
            }
            break;
        case WM_CLOSE:  // Alt+F4, or another program's
            Close();
            return 0;
        case WM_NCDESTROY:
            // However it went, the palette is closed: its key opens it again.
            window_.Release();
            box_ = nullptr;
            list_ = nullptr;
            empty_ = nullptr;
            boxProcedure_ = nullptr;
            composing_ = false;
            shown_.clear();
            searches_.clear();
            break;
        case WM_SYSCOMMAND:
            // Alt let go after Alt+digit: no menu mode on a window without one.
            if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == kBox && HIWORD(wParam) == EN_CHANGE) Narrow();
            if (LOWORD(wParam) == kList && HIWORD(wParam) == LBN_DBLCLK) {
                // Said once the button is up: let go over the game, the click
                // would reach it.
                doubleClicked_ = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
            } else if (LOWORD(wParam) == kList && HIWORD(wParam) == LBN_SELCHANGE) {
                SetFocus(box_);  // typing goes on in the box
            }
            return 0;
        case WM_DRAWITEM:
            Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SIZE:
            if (box_ != nullptr) LayOut();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_.Get(), message, wParam, lParam);
}

LRESULT CALLBACK MacroPalette::BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MacroPalette*>(GetPropW(box, kClassName));
    if (self == nullptr) return DefWindowProcW(box, message, wParam, lParam);
    return self->OnBoxMessage(message, wParam, lParam);
}

LRESULT MacroPalette::OnBoxMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC original = boxProcedure_;
    const HWND box = box_;
    const auto passOn = [&] { return CallWindowProcW(original, box, message, wParam, lParam); };
    const auto selected = [this] {
        return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    };
    switch (message) {
        case WM_KEYDOWN:
            // While the input method composes, every key is its own: Enter
            // only confirms the conversion and never says a macro.
            if (composing_) break;
            switch (wParam) {
                case VK_UP:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                    SendMessageW(list_, WM_KEYDOWN, wParam, 0);
                    return 0;
                case VK_RETURN:
                    if (!IsHeldKeyRepeat(static_cast<std::uintptr_t>(lParam))) SayRow(selected());
                    return 0;
                case VK_ESCAPE:
                    Close();
                    return 0;
                case 'D':
                    if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
                        ToggleRow(selected());
                        return 0;
                    }
                    break;
                default:
                    break;
            }
            break;
        case WM_SYSKEYDOWN: {
            // Not the keypad's: Alt and its digits type a character by its code.
            if (!composing_ && wParam >= '1' && wParam <= '9') {
                const std::size_t number = wParam - '0';
                if (const auto row = NumberedRow(number, shown_.size())) {
                    SayRow(static_cast<int>(*row));
                }
                return 0;
            }
            break;
        }
        case WM_SYSCHAR:
            // Alt and a digit: a row, never the beep of a menu it lacks.
            if (wParam >= '0' && wParam <= '9') return 0;
            break;
        case WM_CHAR:
            // Handled as keys; an edit box would only beep at them (Ctrl+D
            // comes as 0x04, Ctrl+Backspace as DEL).
            if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == 0x7F || wParam == 0x04) {
                return 0;
            }
            break;
        case WM_IME_STARTCOMPOSITION:
            composing_ = true;
            break;
        case WM_IME_ENDCOMPOSITION: {
            composing_ = false;
            const LRESULT result = passOn();
            Narrow();  // what was committed, now that it is
            return result;
        }
        case WM_KILLFOCUS:
            composing_ = false;
            break;
        default:
            break;
    }
    return passOn();
}

void MacroPalette::Draw(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= shown_.size()) return;
    const std::size_t index = shown_[item.itemID];
    const PaletteMacro macro = all_[index];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (macro.tab >= host_.tabCount()) return;
    const MacroList& list = host_.listOf(macro.tab);
    if (macro.position > list.Count()) return;
    const Macro said = list.Item(macro.position);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    SetTextColor(dc, text);
    const UINT dpi = std::max(GetDpiForWindow(list_), 96U);
    const int gap = Scaled(6, dpi);
    RECT column = rect;
    column.left += gap;
    column.right = column.left + Scaled(14, dpi);
    if (item.itemID < 9) {
        const wchar_t number[2] = {static_cast<wchar_t>(L'1' + item.itemID), L'\0'};
        DrawTextW(dc, number, 1, &column, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    column.left = column.right;
    column.right = column.left + Scaled(18, dpi);
    if (pinned_[index]) DrawTextW(dc, L"★", 1, &column, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    std::u16string label = said.Title();
    if (host_.tabCount() > 1) label = host_.tabName(macro.tab) + u": " + label;
    RECT labelRect = rect;
    labelRect.left = column.right;
    labelRect.right = labelRect.left + (rect.right - labelRect.left) * 11 / 20;
    DrawTextW(dc, Wide(label), static_cast<int>(label.size()), &labelRect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    const std::u16string preview = FirstLine(
        said, host_.tokens != nullptr
                  ? host_.tokens->PreviewOf({host_.listOf(macro.tab).FileName(), macro.position})
                  : FillContext{LocalTimeOfDay});
    RECT previewRect = rect;
    previewRect.left = labelRect.right + gap;
    previewRect.right -= gap;
    SetTextColor(dc, selected ? text : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, Wide(preview), static_cast<int>(preview.size()), &previewRect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

std::optional<std::size_t> MacroPalette::TabOf(const std::u16string& file) const {
    for (std::size_t tab = 0; tab < host_.tabCount(); ++tab) {
        if (host_.listOf(tab).FileName() == file) return tab;
    }
    return std::nullopt;
}

FileMacros MacroPalette::FileOf(const MacroList& list) const {
    return {list.FileName(), list.Count(),
            [&list](std::size_t position) { return list.Title(position); }};
}

void MacroPalette::Said(const std::u16string& file, std::size_t position) {
    const std::optional<std::size_t> tab = TabOf(file);
    if (!tab) return;
    const MacroList& list = host_.listOf(*tab);
    if (position == 0 || position > list.Count()) return;
    usage_.Said(FileOf(list), position, LocalDayNumber());
    Changed();
}

void MacroPalette::ToggleFavourite(const MacroList& list, std::size_t position) {
    if (position == 0 || position > list.Count()) return;
    favourites_.Toggle(FileOf(list), position);
    Changed();
}

bool MacroPalette::IsFavourite(const MacroList& list, std::size_t position) const {
    const std::vector<bool> marks = favourites_.Marks(FileOf(list));
    return position >= 1 && position <= marks.size() && marks[position - 1];
}

void MacroPalette::ClearUsage() {
    usage_.Clear();
    late_.NextAtOnce();  // emptied: written at once
    Changed();
}

// Once written, always: a pin taken away after it was written must go from
// the file too.
bool MacroPalette::Kept() const {
    return keptAtStart_ || written_ || !favourites_.Empty() || (host_.keySet && host_.keySet());
}

// At most once a minute: a player saying a macro every few seconds does not
// rewrite the settings file each time.
void MacroPalette::Changed() {
    if (!Kept() || !host_.save) return;
    late_.Changed();
}

bool MacroPalette::HandleTimer(WPARAM id) {
    return late_.HandleTimer(id);
}

}  // namespace kiv

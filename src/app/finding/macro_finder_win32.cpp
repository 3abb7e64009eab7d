#include "app/finding/macro_finder_win32.h"

#include <imm.h>

#include <algorithm>

#include "app/common/key_press.h"
#include "platform/wide_text.h"
#include "platform/window_text_win32.h"

namespace kiv {
namespace {

constexpr wchar_t kSelf[] = L"KivMacro.MacroFinder";

std::u16string CommittedByInputMethod(HWND window) {
    std::u16string text;
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return text;
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
        text.resize(static_cast<std::size_t>(bytes) / sizeof(char16_t));
        ImmGetCompositionStringW(context, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    }
    ImmReleaseContext(window, context);
    return text;
}

// ImmGetVirtualKey is WINAPI (stdcall on 32-bit), which a test's reader is not.
UINT KeyBeforeTheInputMethod(HWND window) {
    return ImmGetVirtualKey(window);
}

void CancelComposition(HWND window) {
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return;
    ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    ImmReleaseContext(window, context);
}

MacroFinder::CommittedTextReader committedTextReader = CommittedByInputMethod;
MacroFinder::CompositionCanceller compositionCanceller = CancelComposition;
MacroFinder::OriginalKeyReader originalKeyReader = KeyBeforeTheInputMethod;

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// A key as it is pressed now, with the Shift and Ctrl held (Alt makes it a
// WM_SYSKEYDOWN, which the box never routes).
Hotkey Pressed(WPARAM key) {
    return {(KeyDown(VK_SHIFT) ? kModShift : 0u) | (KeyDown(VK_CONTROL) ? kModCtrl : 0u),
            static_cast<std::uint32_t>(key)};
}

MacroFinder* Self(HWND control) {
    return static_cast<MacroFinder*>(GetPropW(control, kSelf));
}

}  // namespace

void MacroFinder::SetOriginalKeyReader(OriginalKeyReader reader) {
    originalKeyReader = reader != nullptr ? reader : KeyBeforeTheInputMethod;
}

void MacroFinder::SetCompositionCanceller(CompositionCanceller canceller) {
    compositionCanceller = canceller != nullptr ? canceller : CancelComposition;
}

void MacroFinder::SetCommittedTextReader(CommittedTextReader reader) {
    committedTextReader = reader != nullptr ? reader : CommittedByInputMethod;
}

void MacroFinder::Create(Host host) {
    host_ = std::move(host);
    list_ = host_.titles->Handle();
    box_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
        host_.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBox)), host_.instance, nullptr);
    count_ =
        CreateWindowExW(0, L"Static", L"", WS_CHILD | SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0,
                        0, 0, host_.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCount)),
                        host_.instance, nullptr);
    if (box_ == nullptr || count_ == nullptr) return;
    // The tab order is the children's order: the box comes before the list.
    SetWindowPos(box_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetPropW(box_, kSelf, this);
    SetPropW(list_, kSelf, this);
    boxProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProcedure)));
    listProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProcedure)));
}

void MacroFinder::Show(const MacroList& macros, std::optional<int> select, ListCame came,
                       std::optional<std::size_t> top) {
    const std::size_t before = host_.titles->Rows().Total();
    macros_ = &macros;
    search_ = SearchOf(macros);
    if (came == ListCame::Loaded) SetQuietly(u"");
    VisibleRows rows = FindRows();
    const std::optional<std::size_t> macro =
        select && *select >= 0 ? std::optional(static_cast<std::size_t>(*select)) : std::nullopt;
    int row = rows.RowOf(macro);
    if (came == ListCame::Edited && macro && row < 0) {
        if (macros.Count() < before) {
            // A macro was deleted: the row that took its place.
            row = rows.RowAtOrAfter(*macro);
        } else {
            // A new or changed macro the query would hide: shown, the box
            // emptied, so that the user sees why the others came back.
            SetQuietly(u"");
            rows = FindRows();
            row = rows.RowOf(macro);
        }
    }
    std::optional<int> firstRow;
    if (top) {
        firstRow = std::max(rows.RowOf(*top), 0);
    } else if (select) {
        firstRow = host_.titles->TopRow();
    }
    Fill(std::move(rows), row, firstRow);
}

void MacroFinder::Reveal() {
    if (Shown()) return;
    ShowWindow(box_, SW_SHOW);
    ShowWindow(count_, SW_SHOW);
    if (host_.layOut) host_.layOut();
    if (host_.findingBegun) host_.findingBegun();
}

void MacroFinder::ShowBox() {
    Reveal();
    SetFocus(box_);
}

ListPlace MacroFinder::Place() const {
    return {.query = Shown() ? std::optional(BoxText()) : std::nullopt,
            .selected = host_.titles->SelectedMacro(),
            .top = host_.titles->TopMacro()};
}

void MacroFinder::Restore(const MacroList& macros, const ListPlace& place) {
    macros_ = &macros;
    search_ = SearchOf(macros);
    // A tab's strip never takes the focus: a composition begun for one tab's
    // query would stay in the box, be committed into the next tab's, and
    // its Enter be taken for 発言. Cancelled once the list it narrows is this
    // one: the input method may end it at once, and the last list may be gone.
    if (box_ != nullptr) compositionCanceller(box_);
    SetQuietly(place.query.value_or(u""));
    composing_ = false;
    VisibleRows rows = FindRows();
    const int row = rows.RowOf(place.selected);
    std::optional<int> top;
    if (place.top) top = std::max(rows.RowOf(*place.top), 0);
    if (box_ != nullptr) {
        if (place.query) {
            Reveal();
            // Its query takes the keys again (Esc, BackSpace), as when it was
            // left; a window the player is not in is never activated.
            if (GetFocus() == list_) SetFocus(box_);
        } else {
            Hide();
        }
    }
    // In steps: another tab shows within a frame, however long its list.
    Fill(std::move(rows), row, top.value_or(0), true);
}

MacroSearch MacroFinder::SearchOf(const MacroList& macros) const {
    if (!host_.readings) return MacroSearch(macros);
    return {macros, host_.readings(macros)};
}

void MacroFinder::ReadingsCame() {
    if (macros_ == nullptr) return;
    search_ = SearchOf(*macros_);
    if (!HasSearchWords(query_)) return;
    const std::optional<std::size_t> selected = host_.titles->SelectedMacro();
    VisibleRows rows = FindRows();
    int row = rows.RowOf(selected);
    if (row < 0 && rows.Count() > 0) row = 0;
    Fill(std::move(rows), row, std::nullopt, true);
}

void MacroFinder::StartFinding() {
    if (box_ == nullptr) return;
    ShowBox();
    SendMessageW(box_, EM_SETSEL, 0, -1);
}

void MacroFinder::TypeInBox(std::u16string_view typed) {
    if (box_ == nullptr) return;
    ShowBox();
    const int end = GetWindowTextLengthW(box_);
    SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(end), end);
    const std::u16string text(typed);
    if (!text.empty()) {
        SendMessageW(box_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text)));
    }
}

bool MacroFinder::PreTranslate(MSG& message) {
    if (box_ == nullptr || message.message != WM_KEYDOWN) return false;
    if (message.wParam == 'F' && KeyDown(VK_CONTROL) && !KeyDown(VK_MENU) &&
        (message.hwnd == host_.window || IsChild(host_.window, message.hwnd))) {
        StartFinding();
        return true;
    }
    // A key the input method takes in the list that begins a composition is
    // the box's from its first character: begun there, the composition never
    // moves with the focus (an input method may end one the focus leaves).
    // Asked before TranslateMessage, while the input method still knows it.
    if (message.hwnd == list_ && message.wParam == VK_PROCESSKEY &&
        KeyBeginsComposition(originalKeyReader(list_))) {
        TypeInBox({});
        message.hwnd = box_;
    }
    if (message.hwnd != box_) return false;
    if (RouteFindBoxKey(Pressed(message.wParam), composing_) == FindBoxKey::Window) return false;
    // Neither the window's shortcuts (Delete, Ctrl+Z...) nor the dialog keys
    // (Enter presses 発言 there, whatever is being composed) see it.
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool MacroFinder::Handle(WPARAM wParam) {
    if (LOWORD(wParam) != kBox) return false;
    if (HIWORD(wParam) == EN_CHANGE && !quiet_ && !composing_) Narrow();
    return true;
}

// The rows for the box's committed text: the first match selected; with the
// box emptied, every macro again, the one selected among the matches still
// selected.
void MacroFinder::Narrow() {
    if (macros_ == nullptr) return;
    const std::u16string text = BoxText();
    if (text == query_) return;
    const std::optional<std::size_t> selected = host_.titles->SelectedMacro();
    query_ = text;
    VisibleRows rows = FindRows();
    const int row = rows.Filtered() ? (rows.Count() > 0 ? 0 : -1) : rows.RowOf(selected);
    Fill(std::move(rows), row, std::nullopt, true);
}

VisibleRows MacroFinder::FindRows() const {
    VisibleRows rows;
    if (HasSearchWords(query_)) {
        rows.ShowOnly(search_.Find(query_), macros_->Count());
    } else {
        rows.ShowAll(macros_->Count());
    }
    return rows;
}

void MacroFinder::Fill(VisibleRows rows, int selectRow, std::optional<int> top, bool inSteps) {
    host_.titles->Fill(*macros_, std::move(rows), selectRow, top, inSteps);
    const VisibleRows& shown = host_.titles->Rows();
    SetWindowTextW(count_, Wide(MatchCountText(shown.Count(), shown.Total())));
    if (Shown() && host_.layOut) host_.layOut();  // the count's width follows its text
    if (host_.rowsChanged) host_.rowsChanged();
}

void MacroFinder::Hide() {
    if (!Shown()) return;
    if (GetFocus() == box_) SetFocus(list_);
    ShowWindow(box_, SW_HIDE);
    ShowWindow(count_, SW_HIDE);
    if (host_.layOut) host_.layOut();
}

void MacroFinder::MoveInList(WPARAM key) {
    // The list's own keys, as if it had the focus; End goes to the last row.
    if (key == VK_END || key == VK_NEXT) host_.titles->FillAll();
    CallWindowProcW(listProcedure_, list_, WM_KEYDOWN, key, 0);
}

void MacroFinder::SetQuietly(std::u16string_view text) {
    query_ = text;
    if (box_ == nullptr) return;
    quiet_ = true;
    SetWindowTextW(box_, Wide(query_));
    // Typing goes on at the end, as the player left it.
    const auto end = static_cast<WPARAM>(query_.size());
    SendMessageW(box_, EM_SETSEL, end, static_cast<LPARAM>(end));
    quiet_ = false;
}

std::u16string MacroFinder::BoxText() const {
    return WindowText(box_);
}

LRESULT CALLBACK MacroFinder::BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    MacroFinder* self = Self(box);
    if (message == WM_NCDESTROY) RemovePropW(box, kSelf);
    return self->OnBoxMessage(message, wParam, lParam);
}

LRESULT CALLBACK MacroFinder::ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    MacroFinder* self = Self(list);
    if (message == WM_NCDESTROY) RemovePropW(list, kSelf);
    return self->OnListMessage(message, wParam, lParam);
}

LRESULT MacroFinder::OnBoxMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = [&] {
        return CallWindowProcW(boxProcedure_, box_, message, wParam, lParam);
    };
    switch (message) {
        case WM_KEYDOWN: {
            switch (RouteFindBoxKey(Pressed(wParam), composing_)) {
                case FindBoxKey::List:
                    MoveInList(wParam);
                    return 0;
                case FindBoxKey::Say:
                    if (!IsHeldKeyRepeat(static_cast<std::uintptr_t>(lParam)) && host_.say) {
                        host_.say();
                    }
                    return 0;
                case FindBoxKey::Escape:
                    if (GetWindowTextLengthW(box_) > 0) {
                        SetWindowTextW(box_, L"");
                    } else {
                        Hide();
                    }
                    return 0;
                case FindBoxKey::Text:
                case FindBoxKey::Window:
                    break;
            }
            break;
        }
        case WM_CHAR:
            // Enter and Esc were handled as keys; an edit box only beeps at
            // them, and puts a box for Ctrl+Backspace's DEL.
            if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == 0x7F) return 0;
            break;
        case WM_GETDLGCODE: {
            // In a dialog loop not the tool's own, Enter and Esc still come
            // here; Tab still moves on.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN &&
                (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE)) {
                return original() | DLGC_WANTMESSAGE;
            }
            return original();
        }
        case WM_IME_STARTCOMPOSITION:
            composing_ = true;
            break;
        case WM_IME_ENDCOMPOSITION: {
            composing_ = false;
            const LRESULT result = original();
            Narrow();  // what was committed, now that it is
            return result;
        }
        case WM_KILLFOCUS: {
            // A composition the focus leaves ends elsewhere, or never tells the
            // box: its composing ends here, or Enter would never say again and
            // typing never narrow. What the box holds now narrows the list.
            composing_ = false;
            const LRESULT result = original();
            Narrow();
            // Emptied and left for another control of the window: hidden. Not
            // when the window itself goes inactive: the focus comes back here.
            const HWND next = reinterpret_cast<HWND>(wParam);
            if (GetWindowTextLengthW(box_) == 0 && next != nullptr && IsChild(host_.window, next)) {
                Hide();
            }
            return result;
        }
        default:
            break;
    }
    return original();
}

LRESULT MacroFinder::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            // The list's own way to its last row: the rows still to come first.
            if (wParam == VK_END || wParam == VK_NEXT) host_.titles->FillAll();
            break;
        case WM_CHAR:
            if (OpensFindBox(static_cast<char16_t>(wParam))) {
                TypeInBox(std::u16string(1, static_cast<char16_t>(wParam)));
                return 0;
            }
            break;
        case WM_IME_CHAR:
            TypeInBox(std::u16string(1, static_cast<char16_t>(wParam)));
            return 0;
        // An input method that composes apart from the keys (a pad, another
        // framework) still tells the list: the composition goes on in the box.
        case WM_IME_STARTCOMPOSITION:
            TypeInBox({});
            return SendMessageW(box_, message, wParam, lParam);
        case WM_IME_COMPOSITION:
            if (composing_) return SendMessageW(box_, message, wParam, lParam);
            // Committed before the box had the focus: the text is the box's.
            if ((lParam & GCS_RESULTSTR) != 0) {
                const std::u16string committed = committedTextReader(list_);
                if (!committed.empty()) TypeInBox(committed);
            }
            return 0;
        case WM_IME_ENDCOMPOSITION:
            if (composing_) return SendMessageW(box_, message, wParam, lParam);
            return 0;
        default:
            break;
    }
    return CallWindowProcW(listProcedure_, list_, message, wParam, lParam);
}

}  // namespace kiv

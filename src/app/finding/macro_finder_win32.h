#pragma once

// Finding a macro by typing: a one-line box above the list, hidden until the
// user starts to find (Ctrl+F, or a character typed into the list, or an
// input method's composition begun there), whose words narrow the list to the
// macros they are found in: it decides the rows, which the list's owner
// (title_list_win32.h) shows. Only committed text narrows it: while the input
// method composes, the box's keys are the input method's. Windows only.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/common/list_came.h"
#include "app/finding/find_box_keys.h"
#include "app/finding/title_list_win32.h"
#include "macro/macro_list.h"
#include "macro/macro_search.h"

namespace kiv {

// A list as it was left, to be shown so again (a tab's): the query (none:
// the box hidden), the macro (0-based) selected and the one on the first row.
struct ListPlace {
    std::optional<std::u16string> query;
    std::optional<std::size_t> selected;
    std::optional<std::size_t> top;
};

class MacroFinder {
  public:
    enum Id : int { kBox = 104, kCount = 105 };

    struct Host {
        HWND window = nullptr;
        HINSTANCE instance = nullptr;
        TitleList* titles = nullptr;  // the list of titles, whose rows this decides
        // The box was shown or hidden: the window places its controls again.
        std::function<void()> layOut;
        // Enter in the box, with nothing being composed.
        std::function<void()> say;
        // The rows changed: what pointed at one (the preview) forgets it.
        std::function<void()> rowsChanged;
        // Each macro's readings known now, for finding kanji by them.
        std::function<std::vector<MacroReading>(const MacroList& macros)> readings;
        // The box was first shown: finding has begun.
        std::function<void()> findingBegun;
    };
    // Makes the box, hidden, first in the tab order; after the list.
    void Create(Host host);

    HWND Box() const { return box_; }
    HWND CountLabel() const { return count_; }
    // The box's own state, whether or not the window is on screen yet.
    // The input method composes in the box: every key is its own.
    bool Composing() const { return composing_; }
    bool Shown() const {
        return box_ != nullptr && (GetWindowLongPtrW(box_, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    // Shows `macros` narrowed by the query: from the top with nothing
    // selected, or, with `select` (a macro, 0-based; -1: none), at the same
    // scroll position (or with the row of the macro `top` first) with that
    // macro selected. An edited macro the query would hide empties the box,
    // so that it is still shown. Another file loaded empties it too; a
    // reload and an edit keep the query.
    void Show(const MacroList& macros, std::optional<int> select, ListCame came,
              std::optional<std::size_t> top = std::nullopt);

    // The list as it is now, and shown again as it was: `macros` with the
    // query, selection and scroll of `place`.
    ListPlace Place() const;
    void Restore(const MacroList& macros, const ListPlace& place);
    // More readings are known: the query finds by them too, the row
    // selected staying selected.
    void ReadingsCame();

    // Ctrl+F: shows the box with the focus in it, its text selected.
    void StartFinding();
    // In the message loop, before the window's shortcuts and dialog keys:
    // true when `message` was taken here (Ctrl+F, or a key the box keeps,
    // which is dispatched to it at once).
    bool PreTranslate(MSG& message);
    // WM_COMMAND from the box; false when it was another control's.
    bool Handle(WPARAM wParam);

    // Reads the text the input method committed, on WM_IME_COMPOSITION with
    // GCS_RESULTSTR. A seam: Wine has no input method to commit anything.
    using CommittedTextReader = std::u16string (*)(HWND window);
    static void SetCommittedTextReader(CommittedTextReader reader);
    // The key a VK_PROCESSKEY stands for (ImmGetVirtualKey), for tests:
    // Wine's input method composes apart from the keys. Null: the real one.
    using OriginalKeyReader = UINT (*)(HWND window);
    static void SetOriginalKeyReader(OriginalKeyReader reader);
    // Cancels what the input method is composing in `window` (ImmNotifyIME's
    // CPS_CANCEL). A seam: Wine has no input method composing in the box.
    using CompositionCanceller = void (*)(HWND window);
    static void SetCompositionCanceller(CompositionCanceller canceller);

  private:
    static LRESULT CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnBoxMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Typing that began in the list goes on at the end of the box's text.
    void TypeInBox(std::u16string_view typed);
    void ShowBox();
    void Reveal();  // the box and its count shown, the focus where it was
    void Narrow();
    MacroSearch SearchOf(const MacroList& macros) const;
    VisibleRows FindRows() const;  // the rows of the query, or every macro without one
    void Fill(VisibleRows rows, int selectRow, std::optional<int> top, bool inSteps = false);
    void Hide();
    void MoveInList(WPARAM key);
    void SetQuietly(std::u16string_view text);
    std::u16string BoxText() const;

    Host host_;
    HWND box_ = nullptr;
    HWND count_ = nullptr;
    WNDPROC boxProcedure_ = nullptr;
    WNDPROC listProcedure_ = nullptr;
    HWND list_ = nullptr;
    const MacroList* macros_ = nullptr;
    MacroSearch search_;
    std::u16string query_;  // the committed text the rows were narrowed by
    bool composing_ = false;
    bool quiet_ = false;  // the tool itself sets the box's text
};

}  // namespace kiv

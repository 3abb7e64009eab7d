#pragma once
// The list box of titles and its owner: which macro each row is, the
// selection, and filling it a step at a time. Windows only.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/finding/visible_rows.h"
#include "macro/macro_list.h"

namespace kiv {

// Replaces the list's entries with the titles of `rows`, the first `count`
// of them (all by default); AddTitles adds rows [from, to) after them. The
// list is drawn once at the end, not once per title: 100,000 titles then go
// in within a tenth of a second.
void FillTitleList(HWND list, const MacroList& macros, const VisibleRows& rows,
                   std::size_t count = SIZE_MAX);
void AddTitles(HWND list, const MacroList& macros, const VisibleRows& rows, std::size_t from,
               std::size_t to);

// The one list box of titles: the rows it shows (visible_rows.h), which
// everything that turns a row into a macro asks, and the titles put in a
// step at a time, each within a frame: the first step at once, the rest on a
// timer, so that a keystroke never waits on a hundred thousand titles going
// in. Under Wine a step costs a few milliseconds of drawing and about 1.5 µs
// a title.
class TitleList {
  public:
    static constexpr std::size_t kRowsAStep = 2000;

    TitleList() = default;
    ~TitleList();
    TitleList(const TitleList&) = delete;
    TitleList& operator=(const TitleList&) = delete;

    void Attach(HWND list) { list_ = list; }
    HWND Handle() const { return list_; }
    const MacroList* Macros() const { return macros_; }
    const VisibleRows& Rows() const { return rows_; }
    // The macro (0-based) on the selected row, and on the first row shown.
    std::optional<std::size_t> SelectedMacro() const;
    std::optional<std::size_t> TopMacro() const;
    int SelectedRow() const { return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)); }
    int TopRow() const { return static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0)); }
    // Selects `row` (-1: none), its title put in the list first if it is
    // still to come.
    void Select(int row);

    // Shows `rows` of `macros` in place of what the list showed, with the
    // row `top` first and `selectRow` selected (-1: none). In steps: the
    // rows to the selected one and the first shown and a page past them at
    // once, the rest on the timer.
    void Fill(const MacroList& macros, VisibleRows rows, int selectRow, std::optional<int> top,
              bool inSteps);
    // The rows still to come, at once: the list's own way to its last row.
    void FillAll();

  private:
    static void CALLBACK FillLater(HWND list, UINT message, UINT_PTR timer, DWORD time);
    UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

    HWND list_ = nullptr;
    const MacroList* macros_ = nullptr;
    VisibleRows rows_;
    std::size_t filled_ = 0;  // rows whose titles are in the list box
};

// The entry under `client` (a point in the list's client area), or -1 where
// there is none. LB_ITEMFROMPOINT gives only 16 bits of index, and the
// nearest entry for a point below the last.
int EntryAt(HWND list, POINT client);

// Where the list's right-click menu opens, from WM_CONTEXTMENU's `where`: at
// the mouse, on the entry clicked, which is selected first as Explorer does
// (a list box selects nothing on a right click, and the commands act on the
// selection); or, for the keyboard's menu key and Shift+F10, below the
// selected entry.
POINT ListMenuPlace(HWND list, LPARAM where);

}  // namespace kiv

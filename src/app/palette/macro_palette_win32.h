#pragma once

// The palette: a small window of the tool over the game, opened by its own
// global key, where the player types a few letters and says a macro with
// Enter without leaving the game for the tool's list. It lists every open
// tab's macros, favourites and the most used first, and finds them as the
// find box does, kanji by their reading too. The keyboard goes back to the
// window that had it: through the client a saying brings forward, or at Esc.
// It also keeps how often each macro was said and which are pinned, which
// the window writes to the settings once the palette is in use. Windows only.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/common/holds.h"
#include "app/tokens/macro_tokens_win32.h"
#include "macro/delivery.h"
#include "macro/macro_list.h"
#include "macro/macro_search.h"
#include "platform/handle_win32.h"
#include "platform/late_write_win32.h"
#include "platform/pixel_rect.h"
#include "settings/macro_usage.h"

namespace kiv {

// A macro of an open tab, as the palette lists it.
struct PaletteMacro {
    std::size_t tab = 0;       // from 0, left to right
    std::size_t position = 0;  // in its tab's file, from 1
    friend bool operator==(const PaletteMacro&, const PaletteMacro&) = default;
};

class MacroPalette {
  public:
    struct Host {
        HINSTANCE instance = nullptr;
        HWND window = nullptr;  // the main window, whose timer `timer` writes the counts
        UINT_PTR timer = 0;
        std::function<Holds()> holds;
        // The open tabs, left to right: their macros and names (the rows
        // name their tab only while two or more are open).
        std::function<std::size_t()> tabCount;
        std::function<const MacroList&(std::size_t tab)> listOf;
        std::function<std::u16string(std::size_t tab)> tabName;
        // The window in front as the palette opens: a game client's becomes
        // the one used last, and its chat input (none: not a client's, or
        // not the one macros go to) is where the palette opens.
        std::function<std::optional<PixelRect>(HWND inFront)> cameFrom;
        // Says the macro as every saying goes: nothing when it could not start.
        std::function<std::optional<DeliveryOutcome>(PaletteMacro macro)> say;
        // The counts or the favourites are to be written now.
        std::function<void()> save;
        // The tool's window brought forward, where a macro not said is told.
        std::function<void()> showTool;
        // Whether the palette's key is set: until it is, or a macro is
        // pinned, the counts stay out of the settings file.
        std::function<bool()> keySet;
        // Each macro's reading, for finding kanji by it (empty: none known).
        std::function<std::vector<MacroReading>(const MacroList& list)> readings;
        // What a row's line fills the macro in from.
        MacroTokens* tokens = nullptr;
    };
    enum Id : int { kBox = 1, kList = 2 };
    static constexpr wchar_t kClassName[] = L"KivMacroPalette";

    MacroPalette() = default;
    ~MacroPalette();
    MacroPalette(const MacroPalette&) = delete;
    MacroPalette& operator=(const MacroPalette&) = delete;

    void Attach(Host host);
    // As the settings file had them; `kept`: it had their sections.
    void Start(MacroUsage usage, FavoriteMacros favourites, bool kept);

    // The palette's key: opens it in front with the keyboard, or, open
    // already, gives it the keyboard again.
    void Open();
    bool IsOpen() const { return static_cast<bool>(window_); }
    HWND Window() const { return window_.Get(); }
    HWND Box() const { return box_; }
    HWND List() const { return list_; }
    // More readings are known: an open palette's query finds by them too.
    void ReadingsCame();
    // The macros shown, top row first.
    std::vector<PaletteMacro> Rows() const;
    // Esc: closed, the keyboard given back to the window that had it.
    void Close();

    // In the message loop, before the main window's keys: the palette's
    // own messages go straight to it (Delete there is text, not a macro's).
    bool PreTranslate(MSG& message);
    bool HandleTimer(WPARAM id);

    // A macro was said, from anywhere: its count goes up.
    void Said(const std::u16string& file, std::size_t position);
    // お気に入り in the list's menu; and whether a macro is pinned.
    void ToggleFavourite(const MacroList& list, std::size_t position);
    bool IsFavourite(const MacroList& list, std::size_t position) const;
    // 使用回数を消去.
    void ClearUsage();
    bool HasUsage() const { return !usage_.Empty(); }
    // Whether the counts and favourites go to the settings file.
    bool Kept() const;
    const MacroUsage& Usage() const { return usage_; }
    const FavoriteMacros& Favourites() const { return favourites_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnBoxMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create(const std::optional<PixelRect>& chatInput);
    void LayOut();
    void LoadRows();
    void BuildSearch();
    std::vector<std::size_t> Found() const;
    void Narrow();
    void ShowRows(const std::vector<std::size_t>& found);
    void SayRow(int row);
    void ToggleRow(int row);
    void Draw(const DRAWITEMSTRUCT& item);
    void Changed();
    void Destroy();
    void GiveBack();
    std::optional<std::size_t> TabOf(const std::u16string& file) const;
    FileMacros FileOf(const MacroList& list) const;

    Host host_;
    UniqueWindow window_;
    UniqueFont font_;
    HWND box_ = nullptr;
    HWND list_ = nullptr;
    HWND empty_ = nullptr;  // said when nothing is found
    WNDPROC boxProcedure_ = nullptr;
    HWND cameFrom_ = nullptr;
    bool composing_ = false;
    bool closing_ = false;
    int doubleClicked_ = -1;  // the row double-clicked, said as the button comes up
    int rowHeight_ = 0;

    // Every open tab's macros, left to right, and what orders them.
    std::vector<PaletteMacro> all_;
    std::vector<bool> pinned_;
    std::vector<double> scores_;
    // Each tab's, built after the first paint (none yet: empty), and the
    // row its first macro is.
    std::vector<MacroSearch> searches_;
    std::vector<std::size_t> firstRows_;
    std::u16string query_;
    std::vector<std::size_t> shown_;  // indexes into all_, top row first

    MacroUsage usage_;
    FavoriteMacros favourites_;
    bool keptAtStart_ = false;
    bool written_ = false;  // this run wrote them
    LateWrite late_;
};

}  // namespace kiv

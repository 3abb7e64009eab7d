#pragma once

// What a macro's lines are filled in from as it is said or previewed: one
// context for the delivery, the hover preview, the palette's line and the
// macro dialog's preview, so that each shows what the game receives. Keeps
// the counts of the macros with a <count> (written at most once a minute and
// at the close, and only once such a macro was said) and the player's own
// names. Windows only.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string_view>

#include "macro/line_preparation.h"
#include "macro/macro.h"
#include "macro/macro_list.h"
#include "platform/late_write_win32.h"
#include "settings/macro_usage.h"
#include "settings/macro_variables.h"

namespace kiv {

// Which macro of which file: its path and its position there, from 1 (0: a
// macro not yet in a file, as the dialog makes a new one).
struct MacroPlace {
    std::u16string_view file;
    std::size_t position = 0;
};

class MacroTokens {
  public:
    struct Host {
        HWND window = nullptr;  // owns the question box; its timer `timer` writes the counts
        HINSTANCE instance = nullptr;
        UINT_PTR timer = 0;
        // The macros of the file open at `path`; none when no tab has it.
        std::function<const MacroList*(std::u16string_view path)> listOf;
        // The counts are to be written now.
        std::function<void()> save;
        // The tool's window brought forward: a question is never a box over
        // the game with no window of the tool's under it.
        std::function<void()> showTool;
    };
    void Attach(Host host);
    // As the settings file had them; `countersKept`: it had their section.
    void Start(MacroCounters counters, MacroVariables variables, bool countersKept);

    // What a preview of the macro at `place` shows.
    FillContext PreviewOf(const MacroPlace& place) const;
    // What saying `macro` sends, its questions asked first; none when the
    // player cancelled one.
    std::optional<FillContext> SayingOf(const MacroPlace& place, const Macro& macro);
    // The first line of a saying went out: a macro with a <count> counts it
    // (true then: its previews show another number now).
    bool Said(const MacroPlace& place, const Macro& macro);

    // カウンターを 0 に戻す; and whether the macro has a count to reset.
    void ResetCount(const MacroPlace& place);
    bool HasCount(const MacroPlace& place) const;

    const MacroCounters& Counters() const { return counters_; }
    // Whether the counts go to the settings file: once a counted macro was
    // said, or when the file had them.
    bool CountersKept() const { return countersKept_ || written_ || !counters_.Empty(); }
    const MacroVariables& Variables() const { return variables_; }
    void SetVariables(MacroVariables variables) { variables_ = std::move(variables); }

    // The timer that writes the counts late; false for another.
    bool HandleTimer(WPARAM id);

  private:
    std::optional<FileMacros> FileOf(std::u16string_view path) const;
    std::uint32_t CountOf(const MacroPlace& place) const;
    // `tries`: how often the clipboard is tried while another program holds it.
    FillContext Context(const MacroPlace& place, int tries) const;
    void Changed();

    Host host_;
    MacroCounters counters_;
    MacroVariables variables_;
    bool countersKept_ = false;
    bool written_ = false;
    LateWrite late_;
    // Seeded at the first <rand:...> said: a player who never says one
    // never pays for it.
    std::optional<std::mt19937> random_;
};

}  // namespace kiv

#pragma once

// The decisions behind the main window's commands, apart from the window.

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// Where the file dialog opens for the current macro file: its directory (the
// text before the last backslash; just "C:" for a drive root) and its name.
// A path without a backslash gives the whole path as name and no directory.
struct DialogStart {
    std::optional<std::u16string> directory;
    std::u16string file;
    friend bool operator==(const DialogStart&, const DialogStart&) = default;
};
DialogStart DialogStartFor(std::u16string_view macroFile);

// The entry "発言して次へ" selects after saying: the next one, the first after
// the last or when none was selected; -1 (nothing) in an empty list.
int SelectionAfterSayNext(int selected, int count);

// The entry the hotkeys "前へ" and "次へ" select: one up or down, wrapping at
// either end; with none selected, "次へ" takes the first and "前へ" the last;
// -1 (nothing) in an empty list.
enum class Step { Previous, Next };
int SelectionAfterStep(int selected, int count, Step step);

}  // namespace kiv

#pragma once

// The decisions behind the main window's commands, apart from the window.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// What a drop onto the window does: one file is loaded, as if chosen in the
// dialog; a folder, or more than one thing, loads nothing and the user is
// told why.
struct DropOutcome {
    std::optional<std::u16string> load;
    std::u16string message;  // when nothing is loaded
    friend bool operator==(const DropOutcome&, const DropOutcome&) = default;
};
DropOutcome DecideDrop(const std::vector<std::u16string>& paths,
                       const std::function<bool(const std::u16string&)>& isFolder);

}  // namespace kiv

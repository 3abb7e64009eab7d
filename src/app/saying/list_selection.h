#pragma once

// Where the selection goes as the user says macros and steps through them,
// apart from the window. Portable.

namespace kiv {

// The entry "発言して次へ" selects after saying: the next one, the first after
// the last or when none was selected; -1 (nothing) in an empty list.
int SelectionAfterSayNext(int selected, int count);

// The entry the hotkeys "前へ" and "次へ" select: one up or down, wrapping at
// either end; with none selected, "次へ" takes the first and "前へ" the last;
// -1 (nothing) in an empty list.
enum class Step { Previous, Next };
int SelectionAfterStep(int selected, int count, Step step);

}  // namespace kiv

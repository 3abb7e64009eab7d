#pragma once
// What in a macro file would not reach the game as its author meant, found by
// reading the file exactly as the tool reads it.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

struct MacroFileFinding {
    enum class Kind {
        LineFeedOnly,       // in a file with CRs: lines line..lastLine become one macro
        NotCp932,           // column: the first character that does not survive; detail:
                            // that character, where the file is Unicode
        TooManySeparators,  // count: separators in the message
        TabsOnly,
        DuplicateTitle,  // detail: the title; otherLine: where it first appears
        // Text that looks meant as a token but stays as typed; column: its
        // "<"; detail: its text.
        TokenNotWellFormed,
        WaitOutOfRange,
        WaitNotAtStart,
        NowBesideText,
    };
    Kind kind;
    std::size_t line = 0;  // 1-based, as an editor counts lines (CR LF, CR or LF)
    std::size_t lastLine = 0;
    std::size_t column = 0;  // 1-based, in characters
    std::size_t count = 0;
    std::size_t otherLine = 0;
    std::u16string detail = {};
    friend bool operator==(const MacroFileFinding&, const MacroFileFinding&) = default;
};

// In line order. Throws NotMacroFileText for a file that holds no text.
std::vector<MacroFileFinding> CheckMacroFile(std::string_view bytes);

// One sentence or two in Japanese, without the file name and line number.
std::u16string Describe(const MacroFileFinding& finding);

}  // namespace kiv

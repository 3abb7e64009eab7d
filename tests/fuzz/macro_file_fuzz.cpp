// The macro file on any bytes: the reader, the list and the checker against
// the file read whole by the rules stated plainly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "macro/macro_file_check.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/file_error.h"
#include "support/macro_file_reference.h"

namespace {

using kiv::FromAnsi;
using kiv::ToAnsi;

// Whether text reaches the game unchanged: read from CP932, its bytes come
// back from UTF-16 as they were; read as Unicode, CP932 holds its characters.
bool Survives(const kiv::test::LineRead& line, bool unicode) {
    return unicode ? FromAnsi(ToAnsi(line.text)) == line.text
                   : ToAnsi(FromAnsi(line.bytes)) == line.bytes;
}

bool PairAt(std::u16string_view text, std::size_t pos) {
    return pos + 1 < text.size() && text[pos] >= 0xD800 && text[pos] < 0xDC00 &&
           text[pos + 1] >= 0xDC00 && text[pos + 1] < 0xE000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    using Kind = MacroFileFinding::Kind;
    const std::string bytes(fuzz::AsBytes(data, size));
    const test::LinesRead whole = test::ReadWholeMacroFile(bytes);

    // The reader, given the file in small pieces.
    FUZZ_CHECK(test::ReadMacroFileInPieces(bytes, 1 + size % 5) == whole);
    const auto& dir = fuzz::ScratchDir();
    test::WriteBytes(dir.Path("macros.txt"), bytes);
    MacroList list;
    list.SetFileName(dir.File("macros.txt"));

    // No text: the list and the checker refuse it alike, the list keeping nothing.
    if (whole.notText) {
        bool refused = false;
        try {
            list.LoadData();
        } catch (const FileError& error) {
            refused = error.FailedStep() == FileError::Step::NotText;
        }
        FUZZ_CHECK(refused && !list.IsLoaded());
        refused = false;
        try {
            CheckMacroFile(bytes);
        } catch (const NotMacroFileText&) {
            refused = true;
        }
        FUZZ_CHECK(refused);
        return 0;
    }

    // The list: every line that is not blank, cut at its first TAB.
    std::vector<Macro> macros;
    for (const test::LineRead& line : whole.lines) {
        if (IsBlankLine(line.text)) continue;
        const std::size_t tab = std::min(line.text.find(u'\t'), line.text.size());
        macros.emplace_back(line.text.substr(0, tab),
                            line.text.substr(tab == line.text.size() ? 0 : tab + 1));
    }
    list.LoadData();
    FUZZ_CHECK(list.Count() == macros.size());
    FUZZ_CHECK(std::vector<Macro>(list.begin(), list.end()) == macros);

    // The checker numbers lines as an editor does, a LF inside a line (a file
    // with CRs) starting another; it tells each such line, and each line that
    // does not survive the way to the game.
    const bool unicode = whole.encoding != TextEncoding::Ansi;
    std::map<std::size_t, const test::LineRead*> lineAt;
    std::vector<std::pair<std::size_t, std::size_t>> joined;
    std::vector<std::size_t> lost;
    std::size_t first = 1;
    for (const test::LineRead& line : whole.lines) {
        const auto feeds = static_cast<std::size_t>(std::ranges::count(line.text, u'\n'));
        lineAt[first] = &line;
        if (feeds != 0) joined.emplace_back(first, first + feeds);
        if (!IsBlankLine(line.text) && !Survives(line, unicode)) lost.push_back(first);
        first += 1 + feeds;
    }
    std::vector<std::pair<std::size_t, std::size_t>> toldJoined;
    std::vector<std::size_t> toldLost;
    for (const MacroFileFinding& finding : CheckMacroFile(bytes)) {
        FUZZ_CHECK(!Describe(finding).empty());
        FUZZ_CHECK(finding.line >= 1 && finding.line < first);
        if (finding.kind == Kind::LineFeedOnly) {
            toldJoined.emplace_back(finding.line, finding.lastLine);
        }
        if (finding.kind != Kind::NotCp932) continue;
        toldLost.push_back(finding.line);
        FUZZ_CHECK(finding.detail.empty() == !unicode);
        if (!unicode) continue;
        // The character told is the first one CP932 lacks, a pair counting as one.
        const std::u16string& text = lineAt.at(finding.line)->text;
        std::size_t pos = 0;
        for (std::size_t column = 1; column < finding.column && pos < text.size(); ++column) {
            pos += PairAt(text, pos) ? 2 : 1;
        }
        const std::u16string_view character =
            std::u16string_view(text).substr(pos, PairAt(text, pos) ? 2 : 1);
        FUZZ_CHECK(character == finding.detail);
        FUZZ_CHECK(Survives({text.substr(0, pos), {}}, true));
        FUZZ_CHECK(!Survives({std::u16string(character), {}}, true));
    }
    FUZZ_CHECK(toldJoined == joined);
    FUZZ_CHECK(toldLost == lost);
    return 0;
}

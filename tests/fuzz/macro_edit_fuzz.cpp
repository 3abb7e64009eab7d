// The macro file editor on any file and change: what it writes reads back as
// the list changed, untouched lines keep their bytes, undo gives the file back
// byte for byte; what it does not write leaves the file alone.
//
// Input: byte 0 the change (bits 0-2 its kind, bit 3 undo afterwards, bit 4
// the macro is its own title, bits 5-6 a mark put before the file: none,
// UTF-8, UTF-16 LE, UTF-16 BE), byte 1 the position, byte 2 the lengths of
// message (low four bits) and title (high four), one byte per character of
// each (below 0x80 itself, above one of kOdd), then the file's bytes.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "macro/macro_file_edit.h"
#include "macro/macro_list.h"
#include "support/loaded_macro_list.h"
#include "support/macro_file_reference.h"

namespace {

using kiv::Macro;
using kiv::MacroChange;
using kiv::TextEncoding;
using Kind = MacroChange::Kind;
using Status = kiv::MacroFileEditor::Result::Status;

// What a macro file holds beyond ASCII: Japanese that CP932 has (one with a
// second byte of "\"), what it lacks or holds only as a look-alike, marks and
// the stand-ins for unreadable bytes, spaces that make a line blank, and the
// halves of a surrogate pair.
constexpr std::array<char16_t, 18> kOdd = {
    u'あ', u'ﾃ',      u'ｽ',      u'表',     u'ソ',     u'♥',      u'〜',     u'～',     u'é',
    u'¥',  u'\u3000', u'\uFEFF', u'\uFFFD', u'\u30FB', u'\uF8F0', u'\u0080', u'\xD83D', u'\xDE00'};

std::u16string TextFrom(std::string_view bytes) {
    std::u16string text;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += b < 0x80 ? static_cast<char16_t>(b) : kOdd[(b - 0x80) % kOdd.size()];
    }
    return text;
}

// A file's bytes cut where the reference reading cuts its lines: what comes
// before the first line (a mark), each line's own bytes and its line end, and
// what follows the last line (half a UTF-16 unit).
struct Piece {
    std::string content;
    std::string end;
};
struct CutFile {
    std::string head;
    std::vector<Piece> lines;
    std::string tail;
};

CutFile Cut(std::string_view bytes, const kiv::test::LinesRead& read) {
    const bool wide =
        read.encoding == TextEncoding::Utf16Le || read.encoding == TextEncoding::Utf16Be;
    const std::size_t unit = wide ? 2 : 1;
    const std::size_t begin = wide ? 2 : bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const std::size_t end = begin + (bytes.size() - begin) / unit * unit;
    const auto at = [&](std::size_t pos) -> char16_t {
        if (pos + unit > end) return 0;
        if (!wide) return static_cast<unsigned char>(bytes[pos]);
        const auto low =
            static_cast<unsigned char>(bytes[pos + (read.encoding == TextEncoding::Utf16Be)]);
        const auto high =
            static_cast<unsigned char>(bytes[pos + (read.encoding == TextEncoding::Utf16Le)]);
        return static_cast<char16_t>(high << 8 | low);
    };
    CutFile cut{std::string(bytes.substr(0, begin)), {}, std::string(bytes.substr(end))};
    std::size_t pos = begin;
    for (const kiv::test::LineRead& line : read.lines) {
        const std::size_t from = pos;
        pos += wide ? 2 * line.text.size() : line.bytes.size();
        std::size_t ending = at(pos) == u'\r' && at(pos + unit) == u'\n' ? 2 * unit
                             : at(pos) == u'\r' || at(pos) == u'\n'      ? unit
                                                                         : 0;
        // A last line cut in a surrogate pair: its bytes hold the half its text lost.
        if (ending == 0) pos = end;
        cut.lines.push_back(
            {std::string(bytes.substr(from, pos - from)), std::string(bytes.substr(pos, ending))});
        pos += ending;
    }
    FUZZ_CHECK(pos == end);
    return cut;
}

// A line as it must be after the change; nothing where the editor chooses the bytes.
struct Expected {
    std::optional<std::string> content;
    std::optional<std::string> end;
};

bool Matches(const CutFile& after, const CutFile& before, const std::vector<Expected>& lines) {
    if (after.head != before.head || after.tail != before.tail) return false;
    return std::ranges::equal(after.lines, lines, [](const Piece& got, const Expected& want) {
        return (!want.content || got.content == *want.content) &&
               (!want.end || got.end == *want.end);
    });
}

std::vector<Macro> MacrosOf(const kiv::test::LinesRead& read,
                            std::vector<std::size_t>* lineOf = nullptr) {
    std::vector<Macro> macros;
    for (std::size_t i = 0; i < read.lines.size(); ++i) {
        const std::u16string& text = read.lines[i].text;
        if (kiv::IsBlankLine(text)) continue;
        const std::size_t tab = std::min(text.find(u'\t'), text.size());
        macros.emplace_back(text.substr(0, tab), text.substr(tab == text.size() ? 0 : tab + 1));
        if (lineOf) lineOf->push_back(i);
    }
    return macros;
}

// ASCII that no reading can take for anything else, and lines all ended
// alike: nothing about such a file or such a macro is a reason to refuse.
bool IsPlain(std::u16string_view text) {
    return std::ranges::all_of(text, [](char16_t c) { return c >= u' ' && c <= u'~'; });
}
bool IsPlain(std::string_view file) {
    if (file.starts_with("\xEF\xBB\xBF")) file.remove_prefix(3);
    std::ptrdiff_t pairs = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') ++pairs;
        if ((c < ' ' || c > '~') && c != '\t' && c != '\r' && c != '\n') return false;
    }
    return std::ranges::count(file, '\r') == pairs || std::ranges::count(file, '\r') == 0;
}

bool IsAscii(std::string_view bytes) {
    return std::ranges::all_of(bytes, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// Each write the editor makes reaches the disk before it takes the file's
// name; on a disk that costs milliseconds, in memory nothing.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm")) {
        setenv("TMPDIR", "/dev/shm", 0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    if (size < 3) return 0;
    const std::string_view input = fuzz::AsBytes(data, size);
    const auto kind = static_cast<Kind>((data[0] & 7) % 5);
    const bool undo = (data[0] & 8) != 0;
    const std::size_t messageSize = data[2] & 15;
    const std::size_t titleSize = data[2] >> 4;
    if (size < 3 + messageSize + titleSize) return 0;
    const std::u16string message = TextFrom(input.substr(3, messageSize));
    const Macro macro(message,
                      data[0] & 16 ? message : TextFrom(input.substr(3 + messageSize, titleSize)));
    constexpr std::array<std::string_view, 4> kMarks = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    const std::string original = std::string(kMarks[(data[0] >> 5) & 3]) +
                                 std::string(input.substr(3 + messageSize + titleSize));

    const test::LinesRead read = test::ReadWholeMacroFile(original);
    if (read.notText) return 0;  // refused: never shown, never edited
    const auto path = fuzz::ScratchDir().Path("macros.txt");
    test::WriteBytes(path, original);
    const MacroList shown = test::LoadedMacroList(path);
    std::vector<std::size_t> lineOf;
    const std::vector<Macro> before = MacrosOf(read, &lineOf);
    FUZZ_CHECK(std::vector<Macro>(shown.begin(), shown.end()) == before);
    const std::size_t count = before.size();
    if (kind != Kind::Insert && count == 0) return 0;
    const std::size_t position = kind == Kind::Insert ? data[1] % (count + 1) : 1 + data[1] % count;

    // The change made to the list, to its lines and to the selection; the
    // lines the editor writes anew are left open.
    const CutFile cut = Cut(original, read);
    std::vector<Macro> macros = before;
    std::vector<Expected> lines;
    for (const Piece& line : cut.lines) lines.push_back({line.content, line.end});
    const std::size_t line = position == 0 ? 0 : lineOf[position - 1];
    std::size_t select = position;
    std::size_t selectAfterUndo = position;
    switch (kind) {
        case Kind::Insert: {
            macros.insert(
                macros.begin() + static_cast<std::ptrdiff_t>(position == 0 ? count : position),
                macro);
            select = (position == 0 ? count : position) + 1;
            selectAfterUndo = select - 1;
            const std::size_t after = position == 0 ? lines.size() : line + 1;
            Expected added;
            if (after > 0 && lines[after - 1].end == "") {
                // After an unended last line the new one ends the file, unended.
                lines[after - 1].end.reset();
                added.end = "";
            }
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), added);
            break;
        }
        case Kind::Replace:
            macros[position - 1] = macro;
            lines[line].content.reset();
            break;
        case Kind::Delete:
            macros.erase(macros.begin() + static_cast<std::ptrdiff_t>(position - 1));
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
            select = std::min(position, count - 1);
            break;
        case Kind::MoveUp:
        case Kind::MoveDown: {
            const std::size_t upper = kind == Kind::MoveUp ? position - 1 : position;
            if (upper == 0 || upper == count) break;
            std::swap(macros[upper - 1], macros[upper]);
            std::swap(lines[lineOf[upper - 1]].content, lines[lineOf[upper]].content);
            select = kind == Kind::MoveUp ? position - 1 : position + 1;
            break;
        }
    }

    MacroFileEditor editor(path.u16string());
    const MacroFileEditor::Result result = editor.Apply({kind, position, macro}, shown);
    // Nobody else writes the file: a conflict is the editor misreading it.
    FUZZ_CHECK(result.status != Status::Conflict);
    FUZZ_CHECK(editor.CanUndo() == (result.status == Status::Written));
    FUZZ_CHECK(result.status != Status::Refused || !IsPlain(original) ||
               !IsPlain(macro.Message()) || !IsPlain(macro.Title()) ||
               (macro.Title() == macro.Message() && IsBlankLine(macro.Message())));
    const std::string written = test::ReadBytes(path);
    if (result.status != Status::Written) {
        FUZZ_CHECK(written == original);
        FUZZ_CHECK(result.status != Status::Refused || !result.message.empty());
        FUZZ_CHECK(result.status != Status::Unchanged || macros == before);
        if (undo) FUZZ_CHECK(editor.Undo().status == Status::Unchanged);
        FUZZ_CHECK(test::ReadBytes(path) == written);
        return 0;
    }

    const test::LinesRead readBack = test::ReadWholeMacroFile(written);
    FUZZ_CHECK(MacrosOf(readBack) == macros);
    FUZZ_CHECK(readBack.encoding == read.encoding || IsAscii(written));
    FUZZ_CHECK(Matches(Cut(written, readBack), cut, lines));
    FUZZ_CHECK(result.select == select);
    if (!undo) return 0;
    const MacroFileEditor::Result undone = editor.Undo();
    FUZZ_CHECK(undone.status == Status::Written);
    FUZZ_CHECK(undone.select == selectAfterUndo);
    FUZZ_CHECK(!editor.CanUndo());
    FUZZ_CHECK(test::ReadBytes(path) == original);
    return 0;
}

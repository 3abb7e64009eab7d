// The macro file editor: each edit changes only its own lines, in every encoding and line end, and
// writes nothing over what was changed outside.

#include "macro/macro_file_edit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/utf8.h"
#include "support/loaded_macro_list.h"
#include "support/temp_dir.h"
#include "support/write_time.h"

namespace kiv {
namespace {

using test::LoadedMacroList;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Kind = MacroChange::Kind;
using Status = MacroFileEditor::Result::Status;

const auto Own = [](const std::u16string& text) { return Macro{text, text}; };
const auto Insert = [](std::size_t at, Macro m) {
    return MacroChange{Kind::Insert, at, std::move(m)};
};
const auto Replace = [](std::size_t at, Macro m) {
    return MacroChange{Kind::Replace, at, std::move(m)};
};
const auto Change = [](Kind kind, std::size_t at) { return MacroChange{kind, at, {}}; };

// A file's lines as typed, blank ones included, each with or without a line end.
struct RawLine {
    std::u16string text;
    bool ended = true;
};
using RawLines = std::vector<RawLine>;

struct Layout {
    std::string name;
    TextEncoding encoding;
    bool mark;
    std::u16string lineEnd;
    bool lastEnded;
};
// By name: as bytes, the padding between the fields would be read uninitialised.
void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.name;
}

std::string Encoded(const Layout& layout, std::u16string_view text) {
    if (layout.encoding == TextEncoding::Ansi) return ToAnsi(text);
    if (layout.encoding == TextEncoding::Utf8) return ToUtf8(text);
    std::string bytes;
    const bool big = layout.encoding == TextEncoding::Utf16Be;
    for (const char16_t unit : text) {
        bytes += static_cast<char>(big ? unit >> 8 : unit & 0xFF);
        bytes += static_cast<char>(big ? unit & 0xFF : unit >> 8);
    }
    return bytes;
}

std::string FileBytes(const Layout& layout, const RawLines& lines) {
    std::string bytes = layout.mark ? Encoded(layout, u"\uFEFF") : "";
    for (const RawLine& line : lines) {
        bytes += Encoded(layout, line.text);
        if (line.ended) bytes += Encoded(layout, layout.lineEnd);
    }
    return bytes;
}

// Macros 1..4 are lines 0, 2, 3 and 5. The first holds characters with a byte of CR or LF in UTF-16
// (」 上, and where the encoding has them ഊ ਊ): no line may end there.
RawLines BaseLines(const Layout& layout) {
    const bool unicode = layout.encoding != TextEncoding::Ansi;
    RawLines lines = {{u"こんにちは」上" + std::u16string(unicode ? u"ഊਊ" : u"") + u"\tあいさつ"},
                      {u""},
                      {u"ありがとう\\n<now>\tお礼"},
                      {u"ﾃｽﾄ送信"},
                      {u"\u3000 "},
                      {u"またね"}};
    lines.back().ended = layout.lastEnded;
    return lines;
}

std::vector<Layout> EveryLayout() {
    const std::tuple<const char*, TextEncoding, bool> encodings[] = {
        {"cp932", TextEncoding::Ansi, false},
        {"utf8", TextEncoding::Utf8, false},
        {"utf8_bom", TextEncoding::Utf8, true},
        {"utf16le", TextEncoding::Utf16Le, true},
        {"utf16be", TextEncoding::Utf16Be, true}};
    const std::tuple<const char*, std::u16string, bool> ends[] = {{"crlf", u"\r\n", true},
                                                                  {"cr", u"\r", true},
                                                                  {"lf", u"\n", true},
                                                                  {"unended", u"\r\n", false}};
    std::vector<Layout> layouts;
    for (const auto& [encodingName, encoding, mark] : encodings) {
        for (const auto& [endName, lineEnd, lastEnded] : ends) {
            layouts.push_back(
                {std::string(encodingName) + "_" + endName, encoding, mark, lineEnd, lastEnded});
        }
    }
    return layouts;
}

struct Edit {
    const char* name;
    MacroChange change;
    std::size_t select;
    std::size_t selectAfterUndo;
    std::function<void(RawLines&)> onLines;  // the same change made to the lines by hand
};

std::function<void(RawLines&)> InsertAfter(std::size_t line, const std::u16string& text) {
    return [=](RawLines& lines) {
        // A new last line takes over the old one's missing line end.
        const bool ended = lines[line].ended;
        lines[line].ended = true;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(line) + 1, {text, ended});
    };
}

const Edit kEdits[] = {
    {"insert_after_2", Insert(2, {u"新しい\\n行", u"新規"}), 3, 2,
     InsertAfter(2, u"新しい\\n行\t新規")},
    {"insert_at_end_without_title", Insert(0, {u"末尾", u""}), 5, 4, InsertAfter(5, u"末尾\t")},
    {"replace_3", Replace(3, {u"置き換え", u"3"}), 3, 3,
     [](RawLines& l) { l[3].text = u"置き換え\t3"; }},
    {"replace_last", Replace(4, Own(u"最後")), 4, 4, [](RawLines& l) { l[5].text = u"最後"; }},
    {"delete_first", Change(Kind::Delete, 1), 1, 1, [](RawLines& l) { l.erase(l.begin()); }},
    {"delete_last", Change(Kind::Delete, 4), 3, 4, [](RawLines& l) { l.pop_back(); }},
    {"move_up_across_a_blank_line", Change(Kind::MoveUp, 2), 1, 2,
     [](RawLines& l) { std::swap(l[0].text, l[2].text); }},
    {"move_down_into_the_last_line", Change(Kind::MoveDown, 3), 4, 3,
     [](RawLines& l) { std::swap(l[3].text, l[5].text); }},
    // While finding, with the next macro shown further away.
    {"move_down_past_two", MacroChange{Kind::MoveDown, 1, {}, 4}, 4, 1,
     [](RawLines& l) { std::swap(l[0].text, l[5].text); }},
    {"move_up_past_one", MacroChange{Kind::MoveUp, 3, {}, 1}, 1, 3,
     [](RawLines& l) { std::swap(l[0].text, l[3].text); }},
};

class EveryEncodingAndLineEnd : public testing::TestWithParam<Layout> {};

TEST_P(EveryEncodingAndLineEnd, ChangesOnlyTheEditedLinesAndUndoes) {
    const Layout& layout = GetParam();
    TempDir dir;
    const auto path = dir.Path("macros.txt");
    const std::string original = FileBytes(layout, BaseLines(layout));
    for (const Edit& edit : kEdits) {
        SCOPED_TRACE(edit.name);
        WriteBytes(path, original);
        const MacroList shown = LoadedMacroList(path);
        EXPECT_EQ(shown.Encoding(), layout.encoding);
        MacroFileEditor editor(path.u16string());
        const MacroFileEditor::Result result = editor.Apply(edit.change, shown);
        ASSERT_EQ(result.status, Status::Written) << ToUtf8(result.message);
        EXPECT_EQ(result.select, edit.select);
        RawLines lines = BaseLines(layout);
        edit.onLines(lines);
        EXPECT_EQ(ReadBytes(path), FileBytes(layout, lines));

        EXPECT_EQ(editor.Undo().select, edit.selectAfterUndo);
        EXPECT_EQ(ReadBytes(path), original);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryEncodingAndLineEnd, testing::ValuesIn(EveryLayout()),
                         [](const auto& test) { return test.param.name; });

struct Case {
    const char* name;
    std::string before;  // when the list was shown
    MacroChange change;
    Status status;
    std::string after;         // the whole file
    std::u16string mention;    // what the message must mention
    std::string outside = {};  // written meanwhile by another program, if not empty
    std::optional<std::size_t> select = {};
};

Case Writes(const char* name, std::string before, MacroChange change, std::string after) {
    return {name, std::move(before), std::move(change), Status::Written, std::move(after), u""};
}
// Refused or unchanged: the file as it was.
Case Refuses(const char* name, const std::string& before, MacroChange change,
             std::u16string mention = u"") {
    return {name, before, std::move(change), Status::Refused, before, std::move(mention)};
}
Case Unchanged(const char* name, const std::string& before, MacroChange change) {
    return {name, before, std::move(change), Status::Unchanged, before, u""};
}
// The list showed "a", "b" and "c" when the file became `outside`.
Case Outside(const char* name, const std::string& outside, MacroChange change,
             std::string after = "") {
    const Status status = after.empty() ? Status::Conflict : Status::Written;
    if (after.empty()) after = outside;
    return {name, "a\r\nb\r\nc\r\n", std::move(change), status, after, u"", outside};
}

using std::string_literals::operator""s;
const std::string kMark = "\xEF\xBB\xBF";  // UTF-8's

TEST(MacroFileEditor, WritesExactlyThisOrNothing) {
    for (const Case& c :
         {Writes("new_line_ends_as_most_do", "a\rb\r\nc\r", Insert(1, Own(u"n")), "a\rn\rb\r\nc\r"),
          Writes("crlf_in_an_empty_file", "", Insert(0, Own(u"n")), "n\r\n"),
          Writes("lone_lf_stays_inside_its_line", "a\nb\r\nc\r\n", Replace(2, Own(u"d")),
                 "a\nb\r\nd\r\n"),
          Writes("utf16_odd_last_byte_stays_last", "\xFF\xFE\x61\0\r\0\n\0\x01"s,
                 Insert(0, Own(u"b")), "\xFF\xFE\x61\0\r\0\n\0\x62\0\r\0\n\0\x01"s),
          Writes("utf8_keeps_what_cp932_lacks", "\xE3\x81\x82\r\n", Replace(1, Own(u"♥")),
                 "\xE2\x99\xA5\r\n"),
          Writes("tabs_after_the_first_stay_in_the_title", "a\tb\tc\r\n",
                 Replace(1, {u"d", u"e\tf"}), "d\te\tf\r\n"),
          Refuses("utf16_half_a_pair_at_the_end",
                  "\xFF\xFE"
                  "a\0\r\0\n\0b\0\x3D\xD8"s,
                  Replace(2, Own(u"c")), u"UTF-16"),
          Writes("ascii_left_when_the_only_utf8_line_goes", "\xE3\x81\x82\r\na\r\n",
                 Change(Kind::Delete, 1), "a\r\n"),
          Refuses("cp932_lacks_a_character", "a\r\n", Replace(1, Own(u"好き♥")), u"♥ (U+2665)"),
          Refuses("ascii_file_would_turn_utf8", "a\r\n", Insert(0, Own(u"ﾃｽ")), u"文字コード"),
          Refuses("cp932_file_would_turn_utf8", "\xC3\xBD\r\n\x82\xA0\r\n", Change(Kind::Delete, 2),
                  u"文字コード"),
          Refuses("utf8_cut_character_would_be_followed", "\xE3\x81\x82\r\n\xE3\x81",
                  Insert(0, Own(u"b")), u"文字コード"),
          {"a_cut_character_is_no_macro", kMark + "a\r\nb\r\n\xC3", Change(Kind::Delete, 2),
           Status::Written, kMark + "a\r\n\xC3", u"", "", 1},
          Refuses("equal_bytes_reading_apart", kMark + "a\xC3\na\xC3", Change(Kind::MoveDown, 1)),
          Refuses("only_cr_would_go", "a\r\nb\nc", Change(Kind::Delete, 1), u"改行"),
          Refuses("lines_would_run_together", "x\ry\r\n\nz", Change(Kind::Delete, 2), u"違う内容"),
          Refuses("mark_would_begin_the_file", "a\r\n" + kMark + "\xE3\x81\x82\r\n",
                  Change(Kind::Delete, 1), u"BOM"),
          Refuses("blank_line_would_vanish", "a\r\n", Replace(1, Own(u"\u3000")), u"タイトル"),
          Refuses("nul_would_make_no_text", "a\r\n", Insert(0, Own(std::u16string(u"b\0c", 3))),
                  u"NUL"),
          Unchanged("equal_macro", "a\tb\r\n", Replace(1, {u"a", u"b"})),
          Unchanged("equal_lines_swapped", "a\r\na\r\n", Change(Kind::MoveDown, 1)),
          Unchanged("first_moved_up", "a\r\nb\r\n", Change(Kind::MoveUp, 1)),
          // Never over what was edited outside since the list was shown.
          Outside("target_edited", "a\r\nB\r\nc\r\n", Replace(2, Own(u"x"))),
          Outside("target_shifted", "z\r\na\r\nb\r\nc\r\n", Change(Kind::Delete, 2)),
          Outside("move_partner_edited", "a\r\nb\r\nC\r\n", Change(Kind::MoveDown, 2)),
          Outside("insert_anchor_edited", "A\r\nb\r\nc\r\n", Insert(1, Own(u"n"))),
          Outside("target_gone", "a\r\n", Change(Kind::Delete, 3)),
          Outside("other_line_edited", "a\r\nb\r\nC\r\n", Replace(1, Own(u"x")), "x\r\nb\r\nC\r\n"),
          Outside("end_never_conflicts", "z\r\n", Insert(0, Own(u"n")), "z\r\nn\r\n")}) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto path = dir.Path("macros.txt");
        WriteBytes(path, c.before);
        const MacroList shown = LoadedMacroList(path);
        if (!c.outside.empty()) WriteBytes(path, c.outside);
        MacroFileEditor editor(path.u16string());
        const MacroFileEditor::Result result = editor.Apply(c.change, shown);
        EXPECT_EQ(result.status, c.status) << ToUtf8(result.message);
        EXPECT_EQ(editor.CanUndo(), c.status == Status::Written);
        EXPECT_EQ(ReadBytes(path), c.after);
        EXPECT_NE(result.message.find(c.mention), std::u16string::npos);
        EXPECT_EQ(result.select, c.select.value_or(result.select));
    }
}

// Never over another program's save: one caught half-way (a save in place empties the file, then
// writes it), or one in the moment between the editor's read and its write, of the same size and,
// as FAT (2 s) and a share's cache give, with the same write time; by an edit or by its undo. Undo
// also refuses a file changed since its edit, told by contents alone.
TEST(MacroFileEditor, KeepsAnotherProgramsSaveWhateverItsStampAndFailsOnPositionsOutsideTheList) {
    TempDir dir;
    const auto path = dir.Path("macros.txt");
    WriteBytes(path, "a\r\nb\r\n");
    MacroFileEditor editor(path.u16string());
    EXPECT_EQ(editor.Undo().status, Status::Unchanged) << "nothing to undo yet";
    const MacroList shown = LoadedMacroList(path);
    EXPECT_THROW(editor.Apply(Change(Kind::Delete, 3), shown), std::out_of_range);
    EXPECT_THROW(editor.Apply(Insert(3, Own(u"n")), shown), std::out_of_range);
    EXPECT_THROW(MacroFileEditor(dir.File("gone.txt")).Apply(Change(Kind::Insert, 0), shown),
                 FileError);

    static std::filesystem::path being;
    being = path;
    SetBeforeOpenHook([](const std::u16string&) {
        WriteBytes(being, ReadBytes(being) + "x");  // still being written, at every look
    });
    const auto result = editor.Apply(Replace(1, Own(u"new")), shown);
    SetBeforeOpenHook(nullptr);
    EXPECT_EQ(result.status, Status::Conflict);
    EXPECT_EQ(ReadBytes(path), "a\r\nb\r\nxxx") << "the other program's bytes, all of them";
    EXPECT_FALSE(editor.CanUndo());

    const auto saveUnseen = [&](const std::string& bytes) {
        editor.SetBeforeFinalCheck([&path, bytes] {
            const std::optional<FileStamp> before = StampOf(path.u16string());
            const test::WriteTime time(path);
            WriteBytes(path, bytes);
            time.SetBack();
            if (before && before->size == bytes.size()) {
                EXPECT_EQ(StampOf(path.u16string()), before) << "a save no stamp can see";
            }
        });
    };
    WriteBytes(path, "a\r\nb\r\n");
    for (const std::string saved : {"x\r\nb\r\n", "x\r\n"}) {  // then a prefix of what was read
        saveUnseen(saved);
        EXPECT_EQ(editor.Apply(Change(Kind::Delete, 2), LoadedMacroList(path)).status,
                  Status::Conflict)
            << saved;
        EXPECT_EQ(ReadBytes(path), saved);
    }
    WriteBytes(path, "a\r\nb\r\n");

    editor.SetBeforeFinalCheck(nullptr);
    ASSERT_EQ(editor.Apply(Change(Kind::Delete, 2), LoadedMacroList(path)).status, Status::Written);
    saveUnseen("y\r\n");
    EXPECT_NE(editor.Undo().message.find(u"今ほかのプログラム"), std::u16string::npos);
    EXPECT_EQ(ReadBytes(path), "y\r\n");
    editor.SetBeforeFinalCheck(nullptr);
    const MacroFileEditor::Result refused = editor.Undo();
    EXPECT_EQ(refused.status, Status::Refused);
    EXPECT_NE(refused.message.find(u"最後に変更したあと"), std::u16string::npos);
    EXPECT_TRUE(editor.CanUndo());
    EXPECT_EQ(ReadBytes(path), "y\r\n");

    WriteBytes(path, "a\r\n");  // as the editor left it
    EXPECT_EQ(editor.Undo().status, Status::Written);
    EXPECT_EQ(ReadBytes(path), "a\r\nb\r\n");
}

}  // namespace
}  // namespace kiv

#include "macro/macro_file_edit.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

#include "macro/file_text.h"
#include "macro/macro_file_format.h"
#include "macro/macro_texts.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

using Result = MacroFileEditor::Result;
using Status = MacroFileEditor::Result::Status;
using Kind = MacroChange::Kind;

using namespace file_text;

// One change as bytes: data[from, to) becomes `bytes`. The window is the
// lines around it, from the line before to the line it ends in, in the file
// as it is: beyond them the reader cuts the new file's lines as the old's.
struct Splice {
    std::size_t from = 0;
    std::size_t to = 0;
    std::string bytes;
    std::size_t windowBegin = 0;
    std::size_t windowEnd = 0;
};

// What the window's lines are meant to read after the change, given by the
// lines of the file as it is (their begin).
struct Meant {
    std::array<std::pair<std::size_t, std::u16string>, 2> becomes{
        {{kNone, std::u16string()}, {kNone, std::u16string()}}};
    std::size_t deleted = kNone;
    std::optional<std::u16string> inserted;
    std::size_t insertedAfter = kNone;  // kNone: at the window's end
};

// The line texts of data[begin, end) as the reader gives them, blank ones left out.
std::vector<std::u16string> MacroTexts(const FileText& file, std::string_view data,
                                       std::size_t begin, std::size_t end, LineEnds ends,
                                       bool endsFile) {
    std::vector<std::u16string> texts;
    for (std::size_t pos = begin; pos < end;) {
        const Line line = LineIn(file.TextUnits(), data, pos, end, ends);
        std::u16string text = file.Decode(data.substr(line.begin, line.contentEnd - line.begin),
                                          endsFile && line.contentEnd == end);
        if (!IsBlankLine(text)) texts.push_back(std::move(text));
        pos = line.end;
    }
    return texts;
}

std::vector<std::u16string> MeantTexts(const FileText& file, const Splice& splice,
                                       const Meant& meant) {
    std::vector<std::u16string> texts;
    for (std::size_t pos = splice.windowBegin; pos < splice.windowEnd;) {
        const Line line = file.LineAt(pos);
        pos = line.end;
        if (line.begin == meant.deleted) continue;
        std::u16string text = file.TextOf(line);
        for (const auto& [begin, becomes] : meant.becomes) {
            if (line.begin == begin) text = becomes;
        }
        if (!IsBlankLine(text)) texts.push_back(std::move(text));
        if (meant.inserted && line.begin == meant.insertedAfter) texts.push_back(*meant.inserted);
    }
    if (meant.inserted && meant.insertedAfter == kNone) texts.push_back(*meant.inserted);
    return texts;
}

// In bytes that are well-formed UTF-8 but for a character cut off at their
// end: whether a whole multi-byte character is among them. The first byte
// past ASCII starts a character, whole unless it is that cut one.
bool HasMultiByte(std::string_view wellFormed) {
    const auto nonAscii = std::find_if(wellFormed.begin(), wellFormed.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
    });
    if (nonAscii == wellFormed.end()) return false;
    const auto at = static_cast<std::size_t>(nonAscii - wellFormed.begin());
    return ClassifyUtf8(wellFormed.substr(at, 4), true) == Utf8Form::MultiByte;
}

bool IsAscii(std::span<const std::string_view> pieces) {
    return std::all_of(pieces.begin(), pieces.end(), [](std::string_view piece) {
        return std::all_of(piece.begin(), piece.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    });
}

// Whether a file without a mark is still read in its encoding after the
// splice. The pieces meet where one side is a line end (ASCII), so each can be
// judged alone; a large UTF-8 file is not checked again, only what changes.
bool KeepsEncoding(const FileText& file, const Splice& splice) {
    const std::string_view all = file.Bytes();
    const std::array<std::string_view, 3> pieces = {all.substr(0, splice.from), splice.bytes,
                                                    all.substr(splice.to)};
    const bool bytesEndFile = pieces[2].empty();
    Utf8Form form = Utf8Form::Ascii;
    if (file.Form() == Utf8Form::MultiByte) {
        // Only a character cut off at the end of the file stops being forgiven
        // once something follows it.
        const bool cutFollowed =
            splice.from == all.size() && !splice.bytes.empty() &&
            ClassifyUtf8(all.substr(splice.windowBegin), false) == Utf8Form::Malformed;
        const Utf8Form added = ClassifyUtf8(splice.bytes, bytesEndFile);
        if (cutFollowed || added == Utf8Form::Malformed) {
            form = Utf8Form::Malformed;
        } else if (added == Utf8Form::MultiByte || HasMultiByte(pieces[0]) ||
                   HasMultiByte(pieces[2])) {
            form = Utf8Form::MultiByte;
        }
    } else {
        std::size_t lastPiece = pieces.size() - 1;
        while (lastPiece > 0 && pieces[lastPiece].empty()) --lastPiece;
        for (std::size_t i = 0; i < pieces.size() && form != Utf8Form::Malformed; ++i) {
            const Utf8Form piece = ClassifyUtf8(pieces[i], i == lastPiece);
            if (piece != Utf8Form::Ascii) form = piece;
        }
    }
    const TextEncoding after = EncodingWithoutMark(form);
    // Nothing but ASCII reads alike either way.
    return after == file.Encoding() || IsAscii(pieces);
}

using texts::kEncodingWouldChange;
using texts::kLineEndsWouldChange;
using texts::kLinesWouldMisread;
using texts::kMarkWouldAppear;

std::u16string EncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Ansi:
            return FileCodePageName();
        case TextEncoding::Utf8:
            return u"UTF-8";
        default:
            return u"UTF-16";
    }
}

std::u16string LineWouldLoseBytes(TextEncoding encoding) {
    return Fill(texts::kLineWouldLoseBytes, {EncodingName(encoding)});
}

std::u16string TextWouldBeLost(TextEncoding encoding) {
    return Fill(texts::kTextWouldBeLost, {EncodingName(encoding)});
}

// Why the file with the splice made would not read back as meant; empty when
// it would.
std::u16string ReadBackProblem(const FileText& file, const Splice& splice, const Meant& meant) {
    const std::string_view all = file.Bytes();
    if (!file.HasMark()) {
        if (splice.from < 3) {
            std::string head(all.substr(0, splice.from));
            head += std::string_view(splice.bytes).substr(0, 3 - head.size());
            head += all.substr(splice.to, 3 - head.size());
            if (MarkAtStart(head)) return std::u16string(kMarkWouldAppear);
        }
        if (!KeepsEncoding(file, splice)) return std::u16string(kEncodingWouldChange);
    }
    const std::array<std::string_view, 3> text = {
        all.substr(file.Begin(), splice.from - file.Begin()), splice.bytes,
        all.substr(splice.to, file.End() - splice.to)};
    const LineEnds ends = EndsIn(file.TextUnits(), text);
    if (ends != file.Ends() && ends != LineEnds::None && file.Ends() != LineEnds::None) {
        return std::u16string(kLineEndsWouldChange);
    }
    std::string window(all.substr(splice.windowBegin, splice.from - splice.windowBegin));
    window += splice.bytes;
    window += all.substr(splice.to, splice.windowEnd - splice.to);
    const bool endsFile = splice.windowEnd == file.End();
    if (MacroTexts(file, window, 0, window.size(), ends, endsFile) !=
        MeantTexts(file, splice, meant)) {
        return std::u16string(kLinesWouldMisread);
    }
    return {};
}

// Tells the file the tool wrote from any other without keeping it: the
// library's hash of each of the three pieces the write and its undo cut the
// file into alike. Not meant to withstand a file made to collide.
std::size_t HashOf(std::span<const std::string_view, 3> pieces) {
    std::size_t hash = 0;
    for (const std::string_view piece : pieces) {
        hash = hash * 1'000'003u ^ std::hash<std::string_view>{}(piece);
    }
    return hash;
}

Result Refusal(std::u16string_view why) {
    return {Status::Refused, std::u16string(why), 0};
}

void RequirePosition(const MacroChange& change, const MacroList& shown) {
    const std::size_t least = change.kind == Kind::Insert ? 0 : 1;
    if (change.position < least || change.position > shown.Count()) {
        throw std::out_of_range("macro position " + std::to_string(change.position) +
                                " is outside " + std::to_string(least) + ".." +
                                std::to_string(shown.Count()));
    }
}

// The macro a move trades places with; a partner on the wrong side, or
// outside the list, throws std::out_of_range as a position outside it does.
std::size_t Partner(const MacroChange& change, const MacroList& shown) {
    if (change.kind != Kind::MoveUp && change.kind != Kind::MoveDown) return change.position;
    const bool up = change.kind == Kind::MoveUp;
    if (change.with == 0) return up ? change.position - 1 : change.position + 1;
    if (up ? change.with >= change.position
           : change.with <= change.position || change.with > shown.Count()) {
        throw std::out_of_range("macro " + std::to_string(change.with) + " is not " +
                                (up ? "above " : "below ") + std::to_string(change.position));
    }
    return change.with;
}

std::string_view ContentOf(std::string_view bytes, const Line& line) {
    return bytes.substr(line.begin, line.contentEnd - line.begin);
}

// The file's bytes as no one was writing them: an editor that saves in place
// (emptying the file, then writing it) may be caught half-way, and a file
// read so would be written back with its end missing. Nothing when it kept
// changing; `stamp` is then what it was read at.
std::optional<std::string> ReadStill(const std::u16string& path, std::optional<FileStamp>& stamp) {
    for (int tries = 0; tries < 3; ++tries) {
        const std::optional<FileStamp> before = StampOf(path);
        std::string bytes = ReadFileBytes(path);
        stamp = StampOf(path);
        if (before && before == stamp) return bytes;
    }
    return std::nullopt;
}

// Written over only when still byte for byte as it was read: a save that
// landed since is never lost. Not by its stamp: FAT keeps write times to 2 s
// and a share answers from a cache of them, so a save of the same size in
// between would look like no change at all.
bool StillAsRead(const std::u16string& path, std::string_view read) {
    FileReader reader(path);
    std::array<char, std::size_t{64} * 1024> buffer{};
    for (;;) {
        const std::size_t got = reader.Read(buffer.data(), buffer.size());
        if (got == 0) return read.empty();
        if (got > read.size() || std::string_view(buffer.data(), got) != read.substr(0, got)) {
            return false;
        }
        read.remove_prefix(got);
    }
}

}  // namespace

MacroFileEditor::MacroFileEditor(std::u16string path) : path_(std::move(path)) {}

MacroFileEditor::Result MacroFileEditor::Apply(const MacroChange& change, const MacroList& shown) {
    RequirePosition(change, shown);
    const std::size_t position = change.position;
    if ((change.kind == Kind::MoveUp && position == 1) ||
        (change.kind == Kind::MoveDown && position == shown.Count())) {
        return {};
    }
    const std::size_t partner = Partner(change, shown);

    std::optional<FileStamp> stamp;
    const std::optional<std::string> read = ReadStill(path_, stamp);
    if (!read) return {Status::Conflict, {}, 0};
    const std::string& bytes = *read;
    const FileText file(bytes);

    // The macros the change targets must be on disk as the user saw them.
    std::size_t first = position;
    std::size_t last = position;
    if (change.kind == Kind::MoveUp) first = partner;
    if (change.kind == Kind::MoveDown) last = partner;
    MacroWalker walker(file);
    std::vector<MacroLine> targets;
    while (walker.Count() < last) {
        const std::optional<MacroLine> next = walker.Next();
        if (!next) return {Status::Conflict, {}, 0};
        if (walker.Count() >= first) targets.push_back(*next);
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (file.MacroOf(targets[i].line) != shown.Item(first + i)) {
            return {Status::Conflict, {}, 0};
        }
    }

    Splice splice;
    Meant meant;
    std::size_t select = 0;
    std::size_t selectAfterUndo = position;
    if (change.kind == Kind::Insert || change.kind == Kind::Replace) {
        if (change.kind == Kind::Replace && file.MacroOf(targets[0].line) == change.macro) {
            return {};
        }
        if (std::u16string why = WhyMacroCannotBeWritten(change.macro, file.Encoding());
            !why.empty()) {
            return Refusal(why);
        }
        if (change.kind == Kind::Replace && !file.RewritesExactly(targets[0].line)) {
            return Refusal(LineWouldLoseBytes(file.Encoding()));
        }
    }
    const std::u16string newText = change.kind == Kind::Insert || change.kind == Kind::Replace
                                       ? MacroLineText(change.macro)
                                       : std::u16string();
    std::string encoded;
    if (change.kind == Kind::Insert || change.kind == Kind::Replace) {
        std::optional<std::string> exact = file.Encode(newText);
        if (!exact) return Refusal(TextWouldBeLost(file.Encoding()));
        encoded = std::move(*exact);
    }
    switch (change.kind) {
        case Kind::Replace: {
            const MacroLine& target = targets[0];
            splice = {target.line.begin, target.line.contentEnd, std::move(encoded),
                      target.lineBefore == kNone ? file.Begin() : target.lineBefore,
                      target.line.end};
            meant.becomes[0] = {target.line.begin, newText};
            select = position;
            break;
        }
        case Kind::Delete: {
            const MacroLine& target = targets[0];
            const std::size_t end = target.line.end;
            splice = {target.line.begin, end, std::string(),
                      target.lineBefore == kNone ? file.Begin() : target.lineBefore,
                      end < file.End() ? file.LineAt(end).end : file.End()};
            meant.deleted = target.line.begin;
            select = walker.Next() ? position : position - 1;
            break;
        }
        case Kind::Insert: {
            std::optional<Line> after;
            if (position == 0) {
                // To the end, for the file's last line and the new macro's position.
                while (walker.Next().has_value()) continue;
                after = walker.LastLine();
                select = walker.Count() + 1;
                meant.insertedAfter = kNone;
            } else {
                after = targets[0].line;
                select = position + 1;
                meant.insertedAfter = targets[0].line.begin;
            }
            selectAfterUndo = select - 1;
            const std::string lineEnd = file.NewLineEnd();
            const std::size_t at = after ? after->end : file.End();
            // After a last line without a line end, the new line takes its place as the last.
            const bool unended = after && after->contentEnd == file.End();
            splice = {at, at, unended ? lineEnd + encoded : encoded + lineEnd,
                      after ? after->begin : file.Begin(),
                      at < file.End() ? file.LineAt(at).end : file.End()};
            meant.inserted = newText;
            break;
        }
        case Kind::MoveUp:
        case Kind::MoveDown: {
            const Line& upper = targets.front().line;
            const Line& lower = targets.back().line;
            const std::string_view upperBytes = ContentOf(bytes, upper);
            const std::string_view lowerBytes = ContentOf(bytes, lower);
            // Equal bytes are the same macro, but for a last line whose end
            // cut a character off: swapped, they would read back unmoved.
            if (upperBytes == lowerBytes && file.TextOf(upper) == file.TextOf(lower)) return {};
            std::string swapped(lowerBytes);
            swapped +=
                std::string_view(bytes).substr(upper.contentEnd, lower.begin - upper.contentEnd);
            swapped += upperBytes;
            splice = {upper.begin, lower.contentEnd, std::move(swapped),
                      targets[0].lineBefore == kNone ? file.Begin() : targets[0].lineBefore,
                      lower.end};
            meant.becomes[0] = {upper.begin, file.TextOf(lower)};
            meant.becomes[1] = {lower.begin, file.TextOf(upper)};
            select = partner;
            break;
        }
    }

    if (std::u16string why = ReadBackProblem(file, splice, meant); !why.empty()) {
        return Refusal(why);
    }

    const std::string_view all = bytes;
    const std::array<std::string_view, 3> pieces = {all.substr(0, splice.from), splice.bytes,
                                                    all.substr(splice.to)};
    if (beforeFinalCheck_) beforeFinalCheck_();
    if (!StillAsRead(path_, bytes)) return {Status::Conflict, {}, 0};
    ReplaceFileWithContents(path_, pieces);
    steps_.push_back({splice.from, splice.bytes.size(),
                      std::string(all.substr(splice.from, splice.to - splice.from)),
                      all.size() - (splice.to - splice.from) + splice.bytes.size(), HashOf(pieces),
                      selectAfterUndo});
    return {Status::Written, {}, select};
}

MacroFileEditor::Result MacroFileEditor::Undo() {
    if (steps_.empty()) return {};
    const Step& step = steps_.back();
    std::optional<FileStamp> stamp;
    const std::optional<std::string> read = ReadStill(path_, stamp);
    const std::string_view all = read ? std::string_view(*read) : std::string_view();
    const auto written = [&] {
        const std::array<std::string_view, 3> cut = {all.substr(0, step.offset),
                                                     all.substr(step.offset, step.writtenSize),
                                                     all.substr(step.offset + step.writtenSize)};
        return HashOf(cut);
    };
    if (!read || all.size() != step.fileSize || written() != step.fileHash) {
        return Refusal(std::u16string(texts::kChangedSinceLastEdit));
    }
    const std::array<std::string_view, 3> pieces = {all.substr(0, step.offset), step.replaced,
                                                    all.substr(step.offset + step.writtenSize)};
    if (beforeFinalCheck_) beforeFinalCheck_();
    if (!StillAsRead(path_, all)) {
        return Refusal(std::u16string(texts::kChangedJustNow));
    }
    ReplaceFileWithContents(path_, pieces);
    const std::size_t select = step.selectAfterUndo;
    steps_.pop_back();
    return {Status::Written, {}, select};
}

}  // namespace kiv

#include "macro/macro_file_edit.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

#include "macro/macro_file_format.h"
#include "macro/macro_form.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/utf8.h"

namespace kiv {
namespace {

using Result = MacroFileEditor::Result;
using Status = MacroFileEditor::Result::Status;
using Kind = MacroChange::Kind;

constexpr std::size_t kNone = std::string_view::npos;

// Offsets below are into one reading of the file, whole in memory. The editor
// keeps no lines between calls: each change finds its lines anew.

enum class LineEnds { None, CarriageReturn, LineFeed };

// How text units sit in the bytes: one byte each in CP932 and UTF-8 (CR and
// LF are never part of a multi-byte character there), two in UTF-16. Offsets
// are counted from the start of the data searched, which is always where a
// unit starts.
struct Units {
    std::size_t size = 1;
    bool bigEndian = false;

    char16_t At(std::string_view data, std::size_t pos) const {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
        if (size == 1) return byte(pos);
        return static_cast<char16_t>(bigEndian ? byte(pos) << 8 | byte(pos + 1)
                                               : byte(pos) | byte(pos + 1) << 8);
    }

    // Where the first `unit` (an ASCII one) in data[from, end) starts, or kNone.
    std::size_t Find(std::string_view data, std::size_t from, std::size_t end,
                     char16_t unit) const {
        while (from < end) {
            const void* found =
                std::memchr(data.data() + from, static_cast<char>(unit), end - from);
            if (found == nullptr) return kNone;
            const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - data.data());
            if (size == 1) return at;
            // In UTF-16 the byte may be half of another unit.
            const std::size_t start = bigEndian ? at - 1 : at;
            if (at % 2 == (bigEndian ? 1u : 0u) && start + 2 <= end && At(data, start) == unit) {
                return start;
            }
            from = at + 1;
        }
        return kNone;
    }
};

struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;  // past its line end
};

// The line starting at `begin`, as the reader cuts lines: a CR LF is one line
// end, and where CRs end lines a lone LF is part of one.
Line LineIn(const Units& units, std::string_view data, std::size_t begin, std::size_t end,
            LineEnds ends) {
    if (ends == LineEnds::None) return {begin, end, end};
    const char16_t ender = ends == LineEnds::LineFeed ? u'\n' : u'\r';
    const std::size_t found = units.Find(data, begin, end, ender);
    if (found == kNone) return {begin, end, end};
    std::size_t after = found + units.size;
    if (ender == u'\r' && after + units.size <= end && units.At(data, after) == u'\n') {
        after += units.size;
    }
    return {begin, found, after};
}

LineEnds EndsIn(const Units& units, std::span<const std::string_view> pieces) {
    const auto any = [&](char16_t unit) {
        return std::any_of(pieces.begin(), pieces.end(), [&](std::string_view piece) {
            return units.Find(piece, 0, piece.size(), unit) != kNone;
        });
    };
    if (any(u'\r')) return LineEnds::CarriageReturn;
    if (any(u'\n')) return LineEnds::LineFeed;
    return LineEnds::None;
}

bool StartsWithMark(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

// A macro file's bytes as the reader sees them (macro_file_format.h): the
// encoding and the line ends are decided here the same way, from the whole
// file, without decoding it.
class FileText {
  public:
    explicit FileText(std::string_view bytes) : bytes_(bytes) {
        if (bytes.starts_with("\xEF\xBB\xBF")) {
            encoding_ = TextEncoding::Utf8;
            begin_ = 3;
        } else if (bytes.starts_with("\xFF\xFE")) {
            encoding_ = TextEncoding::Utf16Le;
            begin_ = 2;
            units_ = {2, false};
        } else if (bytes.starts_with("\xFE\xFF")) {
            encoding_ = TextEncoding::Utf16Be;
            begin_ = 2;
            units_ = {2, true};
        } else {
            form_ = ClassifyUtf8(bytes, true);
            encoding_ = form_ == Utf8Form::MultiByte ? TextEncoding::Utf8 : TextEncoding::Ansi;
        }
        // An odd last byte of UTF-16 is half a character, which no line holds.
        end_ = begin_ + (bytes.size() - begin_) / units_.size * units_.size;
        const std::string_view text = bytes.substr(0, end_);
        if (units_.Find(text, begin_, end_, u'\r') != kNone) {
            ends_ = LineEnds::CarriageReturn;
        } else if (units_.Find(text, begin_, end_, u'\n') != kNone) {
            ends_ = LineEnds::LineFeed;
        }
    }

    std::string_view Bytes() const { return bytes_; }
    TextEncoding Encoding() const { return encoding_; }
    bool HasMark() const { return begin_ != 0; }
    // Without a mark: what the bytes are as UTF-8 (the reader's choice).
    Utf8Form Form() const { return form_; }
    const Units& TextUnits() const { return units_; }
    std::size_t Begin() const { return begin_; }
    std::size_t End() const { return end_; }
    LineEnds Ends() const { return ends_; }

    Line LineAt(std::size_t begin) const { return LineIn(units_, bytes_, begin, end_, ends_); }

    // `last`: the bytes end the file without a line end, where the reader
    // drops a character cut off.
    std::u16string Decode(std::string_view content, bool last) const {
        std::u16string text;
        switch (encoding_) {
            case TextEncoding::Ansi:
                AppendFromFileCodePage(content, text);
                break;
            case TextEncoding::Utf8:
                AppendFromUtf8(content, text, last);
                break;
            default:
                text.reserve(content.size() / 2);
                for (std::size_t i = 0; i + 1 < content.size(); i += 2) {
                    text += units_.At(content, i);
                }
                if (last && !text.empty() && IsHighSurrogate(text.back())) text.pop_back();
                break;
        }
        return text;
    }

    std::u16string TextOf(const Line& line) const {
        return Decode(bytes_.substr(line.begin, line.contentEnd - line.begin),
                      line.contentEnd == end_);
    }

    Macro MacroOf(const Line& line) const {
        std::u16string text = TextOf(line);
        const std::size_t tab = text.find(u'\t');
        if (tab == std::u16string::npos) return {text, text};
        return {text.substr(0, tab), text.substr(tab + 1)};
    }

    bool IsBlank(const Line& line) const {
        if (line.contentEnd == line.begin) return true;
        // Most lines are told at their first unit without decoding them: only
        // a space or U+3000 (0x81 0x40 in CP932, 0xE3 0x80 0x80 in UTF-8) can
        // start a blank one. The file's last line may also be nothing but a
        // character its end cut off, which reads as nothing.
        const char16_t first = units_.At(bytes_, line.begin);
        const bool maySpace = first == u' ' || first == u'\u3000' ||
                              (units_.size == 1 && (first == 0x81 || first == 0xE3));
        return (maySpace || line.contentEnd == end_) && IsBlankLine(TextOf(line));
    }

    // The bytes that read back as exactly `text`, or nothing: the file's code
    // page may lack a character (checked beforehand, WhyMacroCannotBeWritten).
    std::optional<std::string> Encode(std::u16string_view text) const {
        switch (encoding_) {
            case TextEncoding::Ansi:
                return ToFileCodePageExactly(text);
            case TextEncoding::Utf8:
                return ToUtf8(text);
            default: {
                std::string bytes;
                bytes.reserve(text.size() * 2);
                for (const char16_t unit : text) {
                    const char high = static_cast<char>(unit >> 8);
                    const char low = static_cast<char>(unit & 0xFF);
                    bytes += units_.bigEndian ? high : low;
                    bytes += units_.bigEndian ? low : high;
                }
                return bytes;
            }
        }
    }

    // The line end a new line gets: the file's most common one, CR LF when
    // it has none.
    std::string NewLineEnd() const {
        if (ends_ == LineEnds::LineFeed) return *Encode(u"\n");
        std::size_t pairs = 0;
        std::size_t lone = 0;
        if (ends_ == LineEnds::CarriageReturn) {
            for (std::size_t at = units_.Find(bytes_, begin_, end_, u'\r'); at != kNone;
                 at = units_.Find(bytes_, at + units_.size, end_, u'\r')) {
                const std::size_t after = at + units_.size;
                (after < end_ && units_.At(bytes_, after) == u'\n' ? pairs : lone) += 1;
            }
        }
        return *Encode(lone > pairs ? u"\r" : u"\r\n");
    }

    // Whether the line's text, written again, gives back its very bytes. A
    // byte the encoding has no character for reads as a stand-in (U+FFFD,
    // U+30FB), and a line rewritten from its text would lose it.
    bool RewritesExactly(const Line& line) const {
        const std::optional<std::string> again = Encode(TextOf(line));
        return again && *again == bytes_.substr(line.begin, line.contentEnd - line.begin);
    }

  private:
    std::string_view bytes_;
    TextEncoding encoding_ = TextEncoding::Ansi;
    Utf8Form form_ = Utf8Form::Ascii;
    Units units_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    LineEnds ends_ = LineEnds::None;
};

struct MacroLine {
    Line line;
    std::size_t lineBefore = kNone;  // where the line just before it begins, blank or not
};

// The macro lines of a file in order, walked only as far as needed.
class MacroWalker {
  public:
    explicit MacroWalker(const FileText& file) : file_(file), next_(file.Begin()) {}

    std::optional<MacroLine> Next() {
        while (next_ < file_.End()) {
            const Line line = file_.LineAt(next_);
            const std::size_t before = last_ ? last_->begin : kNone;
            last_ = line;
            next_ = line.end;
            if (!file_.IsBlank(line)) {
                ++count_;
                return MacroLine{line, before};
            }
        }
        return std::nullopt;
    }

    std::size_t Count() const { return count_; }
    // The last line walked, blank or not: once walked to the end, the file's last.
    const std::optional<Line>& LastLine() const { return last_; }

  private:
    const FileText& file_;
    std::size_t next_;
    std::size_t count_ = 0;
    std::optional<Line> last_;
};

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
    const TextEncoding after =
        form == Utf8Form::MultiByte ? TextEncoding::Utf8 : TextEncoding::Ansi;
    // Nothing but ASCII reads alike either way.
    return after == file.Encoding() || IsAscii(pieces);
}

constexpr std::u16string_view kEncodingWouldChange =
    u"この変更を書き込むと、マクロファイルの文字コードの判定が変わり、ほかの行が違う文字で"
    u"読み込まれてしまうため、書き込みませんでした。マクロファイルを BOM 付きの UTF-8 で"
    u"保存し直すと変更できます。";
constexpr std::u16string_view kMarkWouldAppear =
    u"この変更を書き込むと、マクロファイルの先頭が文字コードの印 (BOM) と読まれてしまうため、"
    u"書き込みませんでした。";
constexpr std::u16string_view kLineEndsWouldChange =
    u"この変更を書き込むと、マクロファイルの改行の判定が変わり、ほかの行の区切りが変わって"
    u"しまうため、書き込みませんでした。マクロファイルの改行を CR LF にそろえて保存し直すと"
    u"変更できます。";
constexpr std::u16string_view kLinesWouldMisread =
    u"この変更を書き込むと、変更した行かその前後の行が違う内容で読み込まれてしまうため、"
    u"書き込みませんでした。";

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
    return u"この行には " + EncodingName(encoding) +
           u" の文字として読めないバイトがあり、書き直すとそのバイトが失われるため、"
           u"書き込みませんでした。その行はエディターで直してください。";
}

std::u16string TextWouldBeLost(TextEncoding encoding) {
    return u"このマクロには " + EncodingName(encoding) +
           u" のマクロファイルに書けない文字があるため、書き込みませんでした。";
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
            if (StartsWithMark(head)) return std::u16string(kMarkWouldAppear);
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

    std::optional<FileStamp> stamp;
    const std::optional<std::string> read = ReadStill(path_, stamp);
    if (!read) return {Status::Conflict, {}, 0};
    const std::string& bytes = *read;
    const FileText file(bytes);

    // The macros the change targets must be on disk as the user saw them.
    std::size_t first = position;
    std::size_t last = position;
    if (change.kind == Kind::MoveUp) first = position - 1;
    if (change.kind == Kind::MoveDown) last = position + 1;
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
            const Line& upper = targets[0].line;
            const Line& lower = targets[1].line;
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
            select = change.kind == Kind::MoveUp ? position - 1 : position + 1;
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
        return Refusal(
            u"マクロファイルが、このツールで最後に変更したあとにほかのプログラムで変更されたため、"
            u"元に戻せません。");
    }
    const std::array<std::string_view, 3> pieces = {all.substr(0, step.offset), step.replaced,
                                                    all.substr(step.offset + step.writtenSize)};
    if (beforeFinalCheck_) beforeFinalCheck_();
    if (!StillAsRead(path_, all)) {
        return Refusal(
            u"マクロファイルが今ほかのプログラムで変更されたため、元に戻せませんでした。");
    }
    ReplaceFileWithContents(path_, pieces);
    const std::size_t select = step.selectAfterUndo;
    steps_.pop_back();
    return {Status::Written, {}, select};
}

}  // namespace kiv

#include <algorithm>
#include <iterator>
#include <optional>
#include <unordered_map>

#include "platform/ansi_text.h"
#include "platform/case_fold.h"
#include "platform/file_system.h"
#include "platform/profile_sections.h"
#include "platform/text_encoding.h"

// The file rules follow what Windows users see from kernel32:
// - a line ends at LF; ASCII white space (CR included) and 0x1A around a line
//   are ignored, an ideographic space is not;
// - "[name]" starts a section: the name runs to the last "]" of the line, spaces
//   around it dropped; a "[" line without "]" is a key line;
// - lines before the first section belong to no section and are kept as they are;
// - "key = value": spaces before "=" and after it are dropped; a line without
//   "=" is a key without value;
// - lines that begin with ";" are comments: kept in the file, never listed;
// - a line with nothing before "=" is listed as it is; of several in a row
//   only the first counts;
// - writing emits CR LF line ends and drops blank lines;
// - the file is read and written in its own encoding (text_encoding.h),
//   its byte-order mark kept; a line whose text would not write back as the
//   bytes it was read from (a byte no character stands for, one of CP932's
//   characters that have two codes) keeps its bytes as long as the tool
//   does not change it.

namespace kiv {
namespace {

bool IsProfileSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A;
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::u16string_view TrimStart(std::u16string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    return text;
}

// Names and values are views into the text the profile owns: a large file then
// costs a few allocations instead of two per line.
struct Line {
    std::u16string_view name;
    std::optional<std::u16string_view> value;
    std::string_view kept;  // the bytes it was read from, where its text would not give them
};

struct Section {
    std::u16string_view name;  // empty for the lines before the first section
    std::string_view keptHeader;
    std::vector<Line> lines;
    // The section as file bytes, kept until it changes: a store saves its
    // sections one by one, and each save writes the whole file again.
    mutable std::string encoded;
    mutable bool encodedValid = false;
};

// One line of the file as read: its text, and its bytes where the text would
// not give them back.
struct ReadLine {
    std::u16string_view text;
    std::string_view kept;
};

// The file's bytes cut into lines at each LF, as `encoding` stores an LF,
// without their line ends.
std::vector<std::string_view> ByteLines(std::string_view body, TextEncoding encoding) {
    const bool wide = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
    const std::string_view lf = encoding == TextEncoding::Utf16Le   ? std::string_view("\n\0", 2)
                                : encoding == TextEncoding::Utf16Be ? std::string_view("\0\n", 2)
                                                                    : std::string_view("\n");
    // An odd last byte of UTF-16 is half a character, which no line holds.
    if (wide) body = body.substr(0, body.size() / 2 * 2);
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    for (std::size_t at = body.find(lf); at != std::string_view::npos; at = body.find(lf, at + 1)) {
        if (wide && (at - begin) % 2 != 0) continue;  // the two bytes of other units
        lines.push_back(body.substr(begin, at - begin));
        begin = at + lf.size();
        at = begin - 1;
    }
    lines.push_back(body.substr(begin));
    return lines;
}

class Profile {
  public:
    Profile() { sections_.emplace_back(); }
    Profile(std::string fileBytes, FileEncoding encoding)
        : bytes_(std::make_unique<std::string>(std::move(fileBytes))),
          text_(std::make_unique<std::u16string>()),
          encoding_(encoding) {
        sections_.emplace_back();
        for (const ReadLine& read : Lines()) {
            const std::u16string_view line = Trim(read.text);
            if (!line.empty()) AddLine(line, read.kept);
        }
    }

    FileEncoding Encoding() const { return encoding_; }

    std::vector<std::u16string_view> Names() const {
        std::vector<std::u16string_view> names;
        for (const Section& section : sections_) {
            if (!section.name.empty()) names.push_back(section.name);
        }
        return names;
    }

    // The first section of that name. Loading a store asks for every section in
    // turn, so the names are indexed once instead of searched each time.
    const Section* Find(std::u16string_view name) const {
        if (firstByName_.empty()) {
            for (std::size_t i = sections_.size(); i-- > 1;) {
                if (!sections_[i].name.empty()) firstByName_[FoldCase(sections_[i].name)] = i;
            }
        }
        const auto found = firstByName_.find(FoldCase(name));
        return found == firstByName_.end() ? nullptr : &sections_[found->second];
    }

    void Replace(std::u16string_view name, const std::vector<std::u16string>& items) {
        firstByName_.clear();
        // A line written back as it was read keeps the bytes it was read
        // from: the store writes every section at the close, changed or not.
        std::vector<Line> kept;
        for (Section& section : sections_) {
            if (!section.name.empty() && EqualIgnoringCase(section.name, name)) {
                std::copy_if(section.lines.begin(), section.lines.end(), std::back_inserter(kept),
                             [](const Line& line) { return !line.kept.empty(); });
                section.lines.clear();
                section.encodedValid = false;
            }
        }
        const std::u16string_view wanted = Trim(name);
        for (const std::u16string& owned : items) {
            const std::size_t equals = owned.find(u'=');
            if (equals == std::u16string::npos) continue;
            const std::u16string_view item =
                *added_.emplace_back(std::make_unique<std::u16string>(owned));
            Section* target = nullptr;
            for (Section& section : sections_) {
                if (!section.name.empty() && EqualIgnoringCase(section.name, wanted)) {
                    target = &section;
                    break;
                }
            }
            if (target == nullptr) {
                target = &sections_.emplace_back();
                target->name =
                    TrimStart(*added_.emplace_back(std::make_unique<std::u16string>(name)));
            }
            target->encodedValid = false;
            Line line{TrimStart(item.substr(0, equals)), TrimStart(item.substr(equals + 1)), {}};
            const auto same = std::find_if(kept.begin(), kept.end(), [&line](const Line& was) {
                return was.name == line.name && was.value == line.value;
            });
            if (same != kept.end()) {
                line.kept = same->kept;
                kept.erase(same);
            }
            target->lines.push_back(line);
        }
        // Written out, the file loses every "[ ]" header, as kernel32 writes it:
        // what followed one becomes part of the section before, here as there.
        for (std::size_t i = sections_.size(); i-- > 1;) {
            if (!sections_[i].name.empty()) continue;
            Section& before = sections_[i - 1];
            before.lines.insert(before.lines.end(), sections_[i].lines.begin(),
                                sections_[i].lines.end());
            before.encodedValid = false;
            sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }

    // The file's bytes: its mark, CR LF line ends, no blank lines.
    std::string FileBytes() const {
        std::string bytes(MarkOf(encoding_));
        const std::string lineEnd = Encode(u"\r\n");
        for (const Section& section : sections_) {
            if (!section.encodedValid) {
                std::string& out = section.encoded;
                out.clear();
                if (!section.keptHeader.empty()) {
                    out.append(section.keptHeader).append(lineEnd);
                } else if (!section.name.empty()) {
                    out += Encode(u"[" + std::u16string(section.name) + u"]\r\n");
                }
                std::u16string text;
                for (const Line& line : section.lines) {
                    if (!line.kept.empty()) {
                        out += Encode(text);
                        text.clear();
                        out.append(line.kept).append(lineEnd);
                        continue;
                    }
                    text += line.name;
                    if (line.value) text.append(u"=").append(*line.value);
                    text += u"\r\n";
                }
                out += Encode(text);
                section.encodedValid = true;
            }
            bytes += section.encoded;
        }
        return bytes;
    }

  private:
    // The file's lines. Nearly every file's text writes back as its very
    // bytes, and is decoded in one piece; only one that does not is decoded
    // line by line, to keep the bytes of the lines that do not.
    std::vector<ReadLine> Lines() {
        const std::string_view body = std::string_view(*bytes_).substr(MarkOf(encoding_).size());
        AppendDecoded(body, encoding_.encoding, *text_, true);
        std::vector<ReadLine> lines;
        if (EncodedExactly(*text_, encoding_.encoding) == body) {
            std::u16string_view text = *text_;
            while (!text.empty()) {
                const std::size_t end = text.find(u'\n');
                lines.push_back({text.substr(0, end), {}});
                text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
            }
            return lines;
        }
        text_->clear();
        const std::vector<std::string_view> byteLines = ByteLines(body, encoding_.encoding);
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
        for (std::size_t i = 0; i < byteLines.size(); ++i) {
            const std::size_t begin = text_->size();
            AppendDecoded(byteLines[i], encoding_.encoding, *text_, i + 1 == byteLines.size());
            ranges.emplace_back(begin, text_->size() - begin);
        }
        for (std::size_t i = 0; i < byteLines.size(); ++i) {
            const std::u16string_view text =
                std::u16string_view(*text_).substr(ranges[i].first, ranges[i].second);
            std::string_view bytes = byteLines[i];
            if (EncodedExactly(text, encoding_.encoding) == bytes) {
                lines.push_back({text, {}});
                continue;
            }
            // A character the file's end cut off is no part of the last line:
            // kept, it would read as a broken one once a line end follows it.
            if (i + 1 == byteLines.size()) bytes = WithoutCutCharacter(bytes, text);
            lines.push_back({text, TrimmedBytes(bytes)});
        }
        return lines;
    }

    std::string_view WithoutCutCharacter(std::string_view bytes, std::u16string_view text) const {
        const std::size_t unit = encoding_.encoding == TextEncoding::Utf16Le ||
                                         encoding_.encoding == TextEncoding::Utf16Be
                                     ? 2
                                     : 1;
        for (std::string_view shorter = bytes;
             shorter.size() >= unit && bytes.size() - shorter.size() < 4;
             shorter.remove_suffix(unit)) {
            std::u16string again;
            AppendDecoded(shorter, encoding_.encoding, again, false);
            if (again == text) return shorter;
        }
        return bytes;
    }

    // A line's bytes without the CR of a CR LF.
    std::string_view TrimmedBytes(std::string_view line) const {
        const std::string cr = Encode(u"\r");
        return line.ends_with(cr) ? line.substr(0, line.size() - cr.size()) : line;
    }

    std::string Encode(std::u16string_view text) const {
        return EncodedAsNearly(text, encoding_.encoding);
    }

    void AddLine(std::u16string_view line, std::string_view kept) {
        if (line.front() == u'[') {
            const std::size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos) {
                Section& section = sections_.emplace_back();
                section.name = Trim(line.substr(1, close - 1));
                section.keptHeader = kept;
                return;
            }
        }
        Line entry;
        entry.kept = kept;
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos) {
            entry.name = line;
        } else {
            entry.name = Trim(line.substr(0, equals));
            entry.value = TrimStart(line.substr(equals + 1));
        }
        std::vector<Line>& lines = sections_.back().lines;
        if (entry.name.empty() && !lines.empty() && lines.back().name.empty()) return;
        lines.push_back(entry);
    }

    std::unique_ptr<std::string> bytes_;                  // the file as read
    std::unique_ptr<std::u16string> text_;                // and its text
    FileEncoding encoding_;                               // a new file's: the file code page's
    std::vector<std::unique_ptr<std::u16string>> added_;  // what writes brought in
    std::vector<Section> sections_;
    mutable std::unordered_map<std::u16string, std::size_t> firstByName_;
};

// A file in the code page that would read as UTF-8 once written: the lines a
// write drops (those without "=") may have been all that kept it from it, or
// a value in half-width katakana may be UTF-8's bytes too (ﾃｽ is ý). Read
// back, its text would be another.
bool ReadsAsUtf8(std::string_view written, FileEncoding encoding) {
    return encoding.encoding == TextEncoding::Ansi && EncodingOfFile(written) != encoding;
}

}  // namespace

struct PortableProfileSections::Cache {
    std::u16string path;
    std::optional<FileStamp> stamp;    // nothing: the file was not there
    std::optional<std::string> bytes;  // nothing: missing, or could not be read
    Profile profile;
};

PortableProfileSections::PortableProfileSections() = default;
PortableProfileSections::~PortableProfileSections() = default;

PortableProfileSections::Cache& PortableProfileSections::Read(const std::u16string& file) {
    const std::optional<FileStamp> stamp = StampOf(file);
    if (cache_ && cache_->path == file && cache_->stamp == stamp && stamp) return *cache_;
    auto fresh = std::make_unique<Cache>();
    fresh->path = file;
    fresh->stamp = stamp;
    try {
        fresh->bytes = ReadFileBytes(fresh->path);
        fresh->profile = Profile(*fresh->bytes, EncodingOfFile(*fresh->bytes));
    } catch (const FileError&) {
        // A file that is missing or cannot be read has no sections.
    }
    cache_ = std::move(fresh);
    return *cache_;
}

std::optional<std::vector<std::u16string>> PortableProfileSections::SectionNames(
    const std::u16string& file) {
    std::vector<std::u16string> names;
    for (const std::u16string_view name : Read(file).profile.Names()) names.emplace_back(name);
    return names;
}

std::vector<std::u16string> PortableProfileSections::SectionLines(std::u16string_view section,
                                                                  const std::u16string& file) {
    std::vector<std::u16string> lines;
    if (const Section* found = Read(file).profile.Find(section)) {
        for (const Line& line : found->lines) {
            if (!line.name.empty() && line.name.front() == u';') continue;
            std::u16string& item = lines.emplace_back(line.name);
            if (line.value) item.append(u"=").append(*line.value);
        }
    }
    return lines;
}

bool PortableProfileSections::WriteSection(std::u16string_view section,
                                           const std::vector<std::u16string>& lines,
                                           const std::u16string& file) {
    Cache& current = Read(file);
    // Only a file that is not there may be created; one that is there but
    // cannot be read must not be replaced by what little we know of it.
    if (!current.bytes && current.stamp) return false;
    current.profile.Replace(section, lines);
    std::string after = current.profile.FileBytes();
    if (ReadsAsUtf8(after, current.profile.Encoding())) {
        cache_.reset();  // it now holds what the file does not
        return false;
    }
    if (current.bytes ? *current.bytes == after : after == MarkOf(current.profile.Encoding())) {
        return true;
    }
    try {
        ReplaceFileWithContents(current.path, after);
    } catch (const FileError&) {
        cache_.reset();  // it now holds what the file does not
        return false;
    }
    current.stamp = StampOf(current.path);
    current.bytes = std::move(after);
    return true;
}

bool PortableProfileSections::ReadsBackAsWritten(std::u16string_view section,
                                                 const std::vector<std::u16string>& lines,
                                                 const std::u16string& file) {
    Cache& current = Read(file);
    current.profile.Replace(section, lines);
    const bool same = !ReadsAsUtf8(current.profile.FileBytes(), current.profile.Encoding());
    cache_.reset();  // it now holds what the file does not
    return same;
}

TextEncoding PortableProfileSections::EncodingOf(const std::u16string& file) {
    return Read(file).profile.Encoding().encoding;
}

#ifndef _WIN32
ProfileSections& SystemProfileSections() {
    static PortableProfileSections portable;
    return portable;
}
#endif

}  // namespace kiv

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "platform/ansi_text.h"
#include "platform/case_fold.h"
#include "platform/file_system.h"
#include "platform/profile_sections.h"

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
// - writing emits CR LF line ends and drops blank lines.

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
};

struct Section {
    std::u16string_view name;  // empty for the lines before the first section
    std::vector<Line> lines;
    // The section as file bytes, kept until it changes: a store saves its
    // sections one by one, and each save writes the whole file again.
    mutable std::string encoded;
    mutable bool encodedValid = false;
};

class Profile {
  public:
    explicit Profile(std::u16string fileText)
        : text_(std::make_unique<std::u16string>(std::move(fileText))) {
        std::u16string_view text = *text_;
        sections_.emplace_back();
        while (!text.empty()) {
            const std::size_t end = text.find(u'\n');
            const std::u16string_view line = Trim(text.substr(0, end));
            text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
            if (!line.empty()) AddLine(line);
        }
    }

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

    void Replace(std::u16string_view name, std::vector<std::u16string> items) {
        firstByName_.clear();
        for (Section& section : sections_) {
            if (!section.name.empty() && EqualIgnoringCase(section.name, name)) {
                section.lines.clear();
                section.encodedValid = false;
            }
        }
        const std::u16string_view wanted = Trim(name);
        for (std::u16string& owned : items) {
            const std::size_t equals = owned.find(u'=');
            if (equals == std::u16string::npos) continue;
            const std::u16string_view item =
                *added_.emplace_back(std::make_unique<std::u16string>(std::move(owned)));
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
            target->lines.push_back(
                Line{TrimStart(item.substr(0, equals)), TrimStart(item.substr(equals + 1))});
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

    // The file's bytes: CR LF line ends, no blank lines.
    std::string AnsiText() const {
        std::string bytes;
        for (const Section& section : sections_) {
            if (!section.encodedValid) {
                std::u16string text;
                if (!section.name.empty()) text.append(u"[").append(section.name).append(u"]\r\n");
                for (const Line& line : section.lines) {
                    text += line.name;
                    if (line.value) text.append(u"=").append(*line.value);
                    text += u"\r\n";
                }
                section.encoded = ToAnsi(text);
                section.encodedValid = true;
            }
            bytes += section.encoded;
        }
        return bytes;
    }

  private:
    void AddLine(std::u16string_view line) {
        if (line.front() == u'[') {
            const std::size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos) {
                sections_.emplace_back().name = Trim(line.substr(1, close - 1));
                return;
            }
        }
        Line entry;
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

    std::unique_ptr<std::u16string> text_;                // the file as read
    std::vector<std::unique_ptr<std::u16string>> added_;  // what writes brought in
    std::vector<Section> sections_;
    mutable std::unordered_map<std::u16string, std::size_t> firstByName_;
};

// `list` holds the items, each ended by NUL; the final NUL is added here.
std::uint32_t CopyList(const std::string& list, char* buffer, std::uint32_t size) {
    if (size == 0) return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    if (list.size() <= size - 2u) {
        std::copy(list.begin(), list.end(), buffer);
        buffer[list.size()] = '\0';
        if (list.empty()) buffer[1] = '\0';
        return static_cast<std::uint32_t>(list.size());
    }
    std::copy_n(list.begin(), size - 2, buffer);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

}  // namespace

struct PortableProfileSections::Cache {
    std::u16string path;
    std::optional<FileStamp> stamp;    // nothing: the file was not there
    std::optional<std::string> bytes;  // nothing: missing, or could not be read
    Profile profile{std::u16string()};
};

PortableProfileSections::PortableProfileSections() = default;
PortableProfileSections::~PortableProfileSections() = default;

PortableProfileSections::Cache& PortableProfileSections::Read(const char* fileName) {
    std::u16string path = FromAnsi(fileName);
    const std::optional<FileStamp> stamp = StampOf(path);
    if (cache_ && cache_->path == path && cache_->stamp == stamp && stamp) return *cache_;
    auto fresh = std::make_unique<Cache>();
    fresh->path = std::move(path);
    fresh->stamp = stamp;
    try {
        fresh->bytes = ReadFileBytes(fresh->path);
        fresh->profile = Profile(FromAnsi(*fresh->bytes));
    } catch (const FileError&) {
        // A file that is missing or cannot be read has no sections.
    }
    cache_ = std::move(fresh);
    return *cache_;
}

std::uint32_t PortableProfileSections::GetSectionNames(char* buffer, std::uint32_t size,
                                                       const char* fileName) {
    // One conversion for the whole list: per item, the calls would cost more
    // than the text.
    std::u16string list;
    for (const std::u16string_view name : Read(fileName).profile.Names()) {
        list += name;
        list += u'\0';
    }
    return CopyList(ToAnsi(list), buffer, size);
}

std::uint32_t PortableProfileSections::GetSection(const char* section, char* buffer,
                                                  std::uint32_t size, const char* fileName) {
    std::u16string list;
    if (const Section* found = Read(fileName).profile.Find(FromAnsi(section))) {
        for (const Line& line : found->lines) {
            if (!line.name.empty() && line.name.front() == u';') continue;
            list += line.name;
            if (line.value) list.append(u"=").append(*line.value);
            list += u'\0';
        }
    }
    return CopyList(ToAnsi(list), buffer, size);
}

bool PortableProfileSections::WriteSection(const char* section, const char* text,
                                           const char* fileName) {
    Cache& current = Read(fileName);
    // Only a file that is not there may be created; one that is there but
    // cannot be read must not be replaced by what little we know of it.
    if (!current.bytes && current.stamp) return false;
    std::vector<std::u16string> items;
    for (const char* item = text; *item != '\0'; item += std::char_traits<char>::length(item) + 1) {
        items.push_back(FromAnsi(item));
    }
    current.profile.Replace(FromAnsi(section), std::move(items));
    std::string after = current.profile.AnsiText();
    if (current.bytes ? *current.bytes == after : after.empty()) return true;
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

#ifndef _WIN32
ProfileSections& SystemProfileSections() {
    static PortableProfileSections portable;
    return portable;
}
#endif

}  // namespace kiv

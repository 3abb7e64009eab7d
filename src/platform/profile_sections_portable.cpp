#include <algorithm>
#include <optional>

#include "platform/ansi_text.h"
#include "platform/case_fold.h"
#include "platform/file_system.h"
#include "platform/profile_sections.h"

// The file rules follow what Windows users see from kernel32:
// - a line ends at LF; white space (CR included) around a line is ignored;
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
    return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A || c == 0xA0 || c == 0x3000;
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

struct Line {
    std::u16string name;
    std::optional<std::u16string> value;
};

struct Section {
    std::u16string name;  // empty for the lines before the first section
    std::vector<Line> lines;
};

class Profile {
  public:
    explicit Profile(std::u16string_view text) {
        sections_.emplace_back();
        while (!text.empty()) {
            const std::size_t end = text.find(u'\n');
            const std::u16string_view line = Trim(text.substr(0, end));
            text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
            if (!line.empty()) AddLine(line);
        }
    }

    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> names;
        for (const Section& section : sections_) {
            if (!section.name.empty()) names.push_back(section.name);
        }
        return names;
    }

    const Section* Find(std::u16string_view name) const {
        for (const Section& section : sections_) {
            if (!section.name.empty() && EqualIgnoringCase(section.name, name)) return &section;
        }
        return nullptr;
    }

    void Replace(std::u16string_view name, const std::vector<std::u16string>& items) {
        for (Section& section : sections_) {
            if (!section.name.empty() && EqualIgnoringCase(section.name, name)) {
                section.lines.clear();
            }
        }
        const std::u16string_view wanted = Trim(name);
        for (const std::u16string& item : items) {
            const std::size_t equals = item.find(u'=');
            if (equals == std::u16string::npos) continue;
            Section* target = nullptr;
            for (Section& section : sections_) {
                if (!section.name.empty() && EqualIgnoringCase(section.name, wanted)) {
                    target = &section;
                    break;
                }
            }
            if (target == nullptr) {
                target = &sections_.emplace_back();
                target->name = TrimStart(name);
            }
            target->lines.push_back(
                Line{std::u16string(TrimStart(std::u16string_view(item).substr(0, equals))),
                     std::u16string(TrimStart(std::u16string_view(item).substr(equals + 1)))});
        }
    }

    std::u16string Text() const {
        std::u16string text;
        for (const Section& section : sections_) {
            if (!section.name.empty()) text += u"[" + section.name + u"]\r\n";
            for (const Line& line : section.lines) {
                text += line.name;
                if (line.value) text += u"=" + *line.value;
                text += u"\r\n";
            }
        }
        return text;
    }

  private:
    void AddLine(std::u16string_view line) {
        if (line.front() == u'[') {
            const std::size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos) {
                sections_.push_back(Section{std::u16string(Trim(line.substr(1, close - 1))), {}});
                return;
            }
        }
        Line entry;
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string_view::npos) {
            entry.name = line;
        } else {
            entry.name = Trim(line.substr(0, equals));
            entry.value = std::u16string(TrimStart(line.substr(equals + 1)));
        }
        std::vector<Line>& lines = sections_.back().lines;
        if (entry.name.empty() && !lines.empty() && lines.back().name.empty()) return;
        lines.push_back(std::move(entry));
    }

    std::vector<Section> sections_;
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
    Profile profile{u""};
};

PortableProfileSections::PortableProfileSections() = default;
PortableProfileSections::~PortableProfileSections() = default;

const PortableProfileSections::Cache& PortableProfileSections::Read(const char* fileName) {
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
    std::string list;
    for (const std::u16string& name : Read(fileName).profile.Names()) {
        list += ToAnsi(name);
        list += '\0';
    }
    return CopyList(list, buffer, size);
}

std::uint32_t PortableProfileSections::GetSection(const char* section, char* buffer,
                                                  std::uint32_t size, const char* fileName) {
    std::string list;
    if (const Section* found = Read(fileName).profile.Find(FromAnsi(section))) {
        for (const Line& line : found->lines) {
            if (!line.name.empty() && line.name.front() == u';') continue;
            list += ToAnsi(line.value ? line.name + u"=" + *line.value : line.name);
            list += '\0';
        }
    }
    return CopyList(list, buffer, size);
}

bool PortableProfileSections::WriteSection(const char* section, const char* text,
                                           const char* fileName) {
    const Cache& current = Read(fileName);
    // Only a file that is not there may be created; one that is there but
    // cannot be read must not be replaced by what little we know of it.
    if (!current.bytes && current.stamp) return false;
    Profile profile = current.profile;
    std::vector<std::u16string> items;
    for (const char* item = text; *item != '\0'; item += std::char_traits<char>::length(item) + 1) {
        items.push_back(FromAnsi(item));
    }
    profile.Replace(FromAnsi(section), items);
    std::string after = ToAnsi(profile.Text());
    if (current.bytes ? *current.bytes == after : after.empty()) return true;
    const std::u16string path = current.path;
    try {
        ReplaceFileWithContents(path, after);
    } catch (const FileError&) {
        return false;
    }
    auto written = std::make_unique<Cache>();
    written->path = path;
    written->stamp = StampOf(path);
    written->bytes = std::move(after);
    written->profile = std::move(profile);
    cache_ = std::move(written);
    return true;
}

#ifndef _WIN32
ProfileSections& SystemProfileSections() {
    static PortableProfileSections portable;
    return portable;
}
#endif

}  // namespace kiv

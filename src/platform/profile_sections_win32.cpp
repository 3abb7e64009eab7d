#include <windows.h>

#include <cstring>
#include <functional>

#include "platform/profile_sections_win32.h"

#include "platform/ansi_text.h"

namespace kiv {
namespace {

// The items of a double-NUL list of `length` bytes, converted in one piece:
// NUL stays NUL, and one call per item would cost more than the text.
std::vector<std::u16string> SplitList(const std::vector<char>& buffer, DWORD length) {
    std::vector<std::u16string> items;
    const std::u16string text = FromAnsi(std::string_view(buffer.data(), length));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\0', start);
        if (end == std::u16string::npos) end = text.size();
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

// A list read into a buffer that grows while the answer says it was too
// small (the buffer's size minus 2). Doubling rather than adding a fixed step
// keeps a large section linear; the lines are the same either way. Nothing
// for an answer of exactly one byte, which no list of names can be.
std::optional<std::vector<std::u16string>> ReadList(
    DWORD initialSize, const std::function<DWORD(char*, DWORD)>& read) {
    std::vector<char> buffer(initialSize);
    DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    while (length == buffer.size() - 2 && buffer.size() < (1u << 30)) {
        buffer.assign(buffer.size() * 2, '\0');
        length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (length == 1) return std::nullopt;
    return SplitList(buffer, length);
}

// kernel32's ANSI functions, for a file in the system's code page.
class Kernel32ProfileSections final : public ProfileSections {
  public:
    std::optional<std::vector<std::u16string>> SectionNames(const std::u16string& file) override {
        // A name CP932 cannot hold exactly would name another file (a
        // look-alike character) or none: such a store can never be written.
        if (!ToAnsiExactly(file)) return std::nullopt;
        const std::optional<std::string> name = AnsiName(file);
        if (!name) return std::vector<std::u16string>{};
        return ReadList(1024, [&](char* buffer, DWORD size) {
            return GetPrivateProfileSectionNamesA(buffer, size, name->c_str());
        });
    }
    std::vector<std::u16string> SectionLines(std::u16string_view section,
                                             const std::u16string& file) override {
        const std::optional<std::string> name = AnsiName(file);
        if (!name) return {};
        const std::string ansiSection = ToAnsi(section);
        return ReadList(4096,
                        [&](char* buffer, DWORD size) {
                            return GetPrivateProfileSectionA(ansiSection.c_str(), buffer, size,
                                                             name->c_str());
                        })
            .value_or(std::vector<std::u16string>{});
    }
    bool WriteSection(std::u16string_view section, const std::vector<std::u16string>& lines,
                      const std::u16string& file) override {
        const std::optional<std::string> name = AnsiName(file);
        if (!name) return false;
        std::string text;
        for (const std::u16string& line : lines) {
            text += ToAnsi(line);
            text += '\0';
        }
        text += '\0';
        return WritePrivateProfileSectionA(ToAnsi(section).c_str(), text.c_str(), name->c_str()) !=
               0;
    }
    TextEncoding EncodingOf(const std::u16string&) override { return TextEncoding::Ansi; }

  private:
    // Given a name of MAX_PATH or more the functions have been seen to report
    // a write as done while writing nothing: such a file is one that cannot
    // be read or written, and neither can one whose name CP932 lacks.
    static std::optional<std::string> AnsiName(const std::u16string& file) {
        std::optional<std::string> name = ToAnsiExactly(file);
        if (name && name->size() >= MAX_PATH) return std::nullopt;
        return name;
    }
};

// kernel32's for a file in the system's code page, or one not there yet
// (made as the tool always made it); the portable ones for a file in UTF-8 or
// UTF-16, which kernel32's ANSI functions would read as the system's code
// page, and for every file where the system's code page is UTF-8, where they
// would read CP932 as UTF-8 and make a new file in UTF-8.
class SystemProfile final : public ProfileSections {
  public:
    std::optional<std::vector<std::u16string>> SectionNames(const std::u16string& file) override {
        return For(file).SectionNames(file);
    }
    std::vector<std::u16string> SectionLines(std::u16string_view section,
                                             const std::u16string& file) override {
        return For(file).SectionLines(section, file);
    }
    bool WriteSection(std::u16string_view section, const std::vector<std::u16string>& lines,
                      const std::u16string& file) override {
        ProfileSections& writer = For(file);
        if (&writer == &kernel32_ && !portable_.ReadsBackAsWritten(section, lines, file)) {
            return false;
        }
        return writer.WriteSection(section, lines, file);
    }
    TextEncoding EncodingOf(const std::u16string& file) override {
        return portable_.EncodingOf(file);
    }

  private:
    ProfileSections& For(const std::u16string& file) {
        if (GetACP() == CP_UTF8 || portable_.EncodingOf(file) != TextEncoding::Ansi) {
            return portable_;
        }
        return kernel32_;
    }

    ProfileSections& kernel32_ = Kernel32Profile();
    PortableProfileSections portable_;
};

}  // namespace

ProfileSections& Kernel32Profile() {
    static Kernel32ProfileSections kernel32;
    return kernel32;
}

ProfileSections& SystemProfileSections() {
    static SystemProfile system;
    return system;
}

}  // namespace kiv

#pragma once

// The settings file's sections, as the settings store reads and writes them:
// kernel32's three profile-section functions, or our own where those would
// misread the file. Texts cross here as UTF-16, whatever the file's encoding.
//
// kernel32's ANSI functions read a file without a byte-order mark in the
// system's code page. Where that is UTF-8 (a Windows option many Japanese
// players turn on), a settings file written in CP932 would read as U+FFFD
// wherever it holds Japanese, and be written back so; and a UTF-8 file reads
// as garbage under CP932. So the file's encoding is decided as the macro
// file's is (text_encoding.h), and kernel32's functions are used only for a
// file in the system's own code page: ours, the portable ones, for the rest.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace kiv {

class ProfileSections {
  public:
    virtual ~ProfileSections() = default;

    // Every section name in file order, duplicates included; none for a file
    // that is missing or cannot be read. Nothing when the list came back
    // unusable (kernel32's answer of exactly one byte).
    virtual std::optional<std::vector<std::u16string>> SectionNames(const std::u16string& file) = 0;
    // The lines of the first section of that name (letter case ignored):
    // "key=value", or the bare line where it has no "=".
    virtual std::vector<std::u16string> SectionLines(std::u16string_view section,
                                                     const std::u16string& file) = 0;
    // Replaces every line of the section by the "key=value" items of `lines`
    // (items without "=" are dropped), appending the section, and creating the
    // file, when needed. False when the file could not be written.
    virtual bool WriteSection(std::u16string_view section, const std::vector<std::u16string>& lines,
                              const std::u16string& file) = 0;
    // The encoding the file is read and written in: a value it cannot hold
    // exactly must not be set (CharactersEncodingLacks).
    virtual TextEncoding EncodingOf(const std::u16string& file) = 0;
};

// Our own reader and writer, which follow kernel32's rules for the lines and
// read and write the file in its own encoding (a new file in the file code
// page, ansi_text.h). Parses after decoding, as Windows does: a CP932 trail
// byte can be "[", "\" or "]". Writes replace the file in one step, so a
// failure never leaves it half written; lines the tool did not change keep
// their bytes.
class PortableProfileSections final : public ProfileSections {
  public:
    PortableProfileSections();
    ~PortableProfileSections() override;
    PortableProfileSections(const PortableProfileSections&) = delete;
    PortableProfileSections& operator=(const PortableProfileSections&) = delete;

    std::optional<std::vector<std::u16string>> SectionNames(const std::u16string& file) override;
    std::vector<std::u16string> SectionLines(std::u16string_view section,
                                             const std::u16string& file) override;
    bool WriteSection(std::u16string_view section, const std::vector<std::u16string>& lines,
                      const std::u16string& file) override;
    TextEncoding EncodingOf(const std::u16string& file) override;
    // Whether the file, the section written so (by these functions or by
    // kernel32's, which write alike), reads back as it was written. A file in
    // the code page whose bytes would then be UTF-8 would not: such a write
    // is refused.
    bool ReadsBackAsWritten(std::u16string_view section, const std::vector<std::u16string>& lines,
                            const std::u16string& file);

  private:
    // The last file read, parsed, while its size and write time stay the same:
    // loading a store asks for every section of the same file in turn.
    struct Cache;
    Cache& Read(const std::u16string& file);
    std::unique_ptr<Cache> cache_;
};

// The functions of this system: on Windows kernel32's for a file in the
// system's code page, the portable ones for any other; the portable ones
// elsewhere.
ProfileSections& SystemProfileSections();

}  // namespace kiv

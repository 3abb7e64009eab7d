#pragma once

// kernel32's three profile-section functions, as the settings store uses them.
// Everything is in bytes of the ANSI code page, and the lists are the Win32
// kind: items ended by NUL, the list ended by one more NUL.
//
// Reads return the number of bytes placed, not counting the final NUL; a
// buffer that was too small holds what fitted, still double-NUL ended, and the
// result is then the buffer size minus 2. A missing or unreadable file reads
// as one without sections.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class ProfileSections {
  public:
    virtual ~ProfileSections() = default;

    // Every section name in file order, duplicates included.
    virtual std::uint32_t GetSectionNames(char* buffer, std::uint32_t size,
                                          const char* fileName) = 0;
    // The lines of the first section of that name (letter case ignored):
    // "key=value", or the bare line where it has no "=".
    virtual std::uint32_t GetSection(const char* section, char* buffer, std::uint32_t size,
                                     const char* fileName) = 0;
    // Replaces every line of the section by the "key=value" items of `text`
    // (items without "=" are dropped), appending the section, and creating the
    // file, when needed. False when the file could not be written.
    virtual bool WriteSection(const char* section, const char* text, const char* fileName) = 0;
};

// The same contract over our own file reader and writer, for systems without
// the kernel32 functions. Parses after decoding the file to UTF-16, as Windows
// does: a CP932 trail byte can be "[", "\" or "]". Writes replace the file in
// one step, so a failure never leaves it half written.
class PortableProfileSections final : public ProfileSections {
  public:
    PortableProfileSections();
    ~PortableProfileSections() override;
    PortableProfileSections(const PortableProfileSections&) = delete;
    PortableProfileSections& operator=(const PortableProfileSections&) = delete;

    std::uint32_t GetSectionNames(char* buffer, std::uint32_t size, const char* fileName) override;
    std::uint32_t GetSection(const char* section, char* buffer, std::uint32_t size,
                             const char* fileName) override;
    bool WriteSection(const char* section, const char* text, const char* fileName) override;

  private:
    // The last file read, parsed, while its size and write time stay the same:
    // loading a store asks for every section of the same file in turn.
    struct Cache;
    Cache& Read(const char* fileName);
    std::unique_ptr<Cache> cache_;
};

// The functions of this system: kernel32's on Windows, the portable ones elsewhere.
ProfileSections& SystemProfileSections();

}  // namespace kiv

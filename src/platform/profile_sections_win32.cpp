#include <windows.h>

#include <cstring>

#include "platform/profile_sections.h"

namespace kiv {
namespace {

// The ANSI profile functions take MAX_PATH at most: given a longer name they
// have been seen to report a write as done while writing nothing. Such a file
// is treated as one that cannot be read or written.
bool TooLong(const char* fileName) {
    return std::strlen(fileName) >= MAX_PATH;
}

std::uint32_t EmptyList(char* buffer, std::uint32_t size) {
    if (size >= 2) buffer[0] = buffer[1] = '\0';
    return 0;
}

class Kernel32ProfileSections final : public ProfileSections {
  public:
    std::uint32_t GetSectionNames(char* buffer, std::uint32_t size, const char* fileName) override {
        if (TooLong(fileName)) return EmptyList(buffer, size);
        return GetPrivateProfileSectionNamesA(buffer, size, fileName);
    }
    std::uint32_t GetSection(const char* section, char* buffer, std::uint32_t size,
                             const char* fileName) override {
        if (TooLong(fileName)) return EmptyList(buffer, size);
        return GetPrivateProfileSectionA(section, buffer, size, fileName);
    }
    bool WriteSection(const char* section, const char* text, const char* fileName) override {
        if (TooLong(fileName)) return false;
        return WritePrivateProfileSectionA(section, text, fileName) != 0;
    }
};

}  // namespace

ProfileSections& SystemProfileSections() {
    static Kernel32ProfileSections kernel32;
    return kernel32;
}

}  // namespace kiv

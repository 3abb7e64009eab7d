#include <windows.h>

#include "platform/profile_sections.h"

namespace kiv {
namespace {

class Kernel32ProfileSections final : public ProfileSections {
  public:
    std::uint32_t GetSectionNames(char* buffer, std::uint32_t size, const char* fileName) override {
        return GetPrivateProfileSectionNamesA(buffer, size, fileName);
    }
    std::uint32_t GetSection(const char* section, char* buffer, std::uint32_t size,
                             const char* fileName) override {
        return GetPrivateProfileSectionA(section, buffer, size, fileName);
    }
    bool WriteSection(const char* section, const char* text, const char* fileName) override {
        return WritePrivateProfileSectionA(section, text, fileName) != 0;
    }
};

}  // namespace

ProfileSections& SystemProfileSections() {
    static Kernel32ProfileSections kernel32;
    return kernel32;
}

}  // namespace kiv

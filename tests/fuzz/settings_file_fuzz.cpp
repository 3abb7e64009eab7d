// Any settings file through the portable profile functions and the store:
// nothing crashes, every listed section can be selected, and a key written
// into a section reads back.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_input.h"
#include "platform/profile_sections.h"
#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    const auto& dir = fuzz::ScratchDir();
    test::WriteBytes(dir.Path("settings.ini"), std::string(fuzz::AsBytes(data, size)));
    const std::u16string path = dir.File("settings.ini");

    // A fresh instance each time: the cache keys on size and write time, which
    // rapid rewrites of one file can repeat.
    PortableProfileSections profile;
    IniFile ini(profile);
    if (!ini.Load(path)) return 0;
    const std::vector<std::u16string> sections = ini.Sections();
    for (const std::u16string& section : sections) {
        ini.SetNowSection(section);
        for (const std::u16string& key : ini.Keys()) (void)ini.InitData(key, 1, 0);
    }
    // A NUL byte ends an item of the profile lists (as with kernel32), so a
    // name holding one cannot be asked for again: no round trip to check.
    if (sections.empty() || std::memchr(data, 0, size) != nullptr) return 0;

    ini.SetNowSection(sections.front());
    ini.SetData(u"Fuzz", u"1");
    if (!ini.Save(sections.front())) return 0;
    const std::vector<std::u16string> keys = ini.Keys();
    const std::u16string value = ini.Data(u"Fuzz");

    PortableProfileSections again;
    IniFile reread(again);
    FUZZ_CHECK(reread.Load(path));
    reread.SetNowSection(sections.front());
    FUZZ_CHECK(reread.Data(u"Fuzz") == value);
    return 0;
}

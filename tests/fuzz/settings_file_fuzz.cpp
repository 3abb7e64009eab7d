// Any settings file through the portable profile functions and the store:
// nothing crashes, every listed section can be selected, and a key written
// into a section reads back.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_input.h"
#include "platform/ansi_text.h"
#include "platform/profile_sections.h"
#include "settings/ini_file.h"

namespace {

// A "[ ]" line: kernel32, and so the portable functions, drop such a header
// when another section is written, and its lines join the section before it.
bool HasNamelessSection(std::string_view bytes) {
    const std::u16string text = kiv::FromAnsi(bytes);
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find(u'\n', begin);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string_view line = std::u16string_view(text).substr(begin, end - begin);
        const std::size_t open = line.find_first_not_of(u" \t\r\v\f\x1A");
        const std::size_t close = line.rfind(u']');
        if (open != line.npos && line[open] == u'[' && close != line.npos && close > open &&
            line.substr(open + 1, close - open - 1).find_first_not_of(u" \t\r\v\f\x1A") ==
                std::u16string_view::npos) {
            return true;
        }
        begin = end + 1;
    }
    return false;
}

}  // namespace

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
    FUZZ_CHECK(reread.Data(u"Fuzz") == value || HasNamelessSection(fuzz::AsBytes(data, size)));
    return 0;
}

// Any settings file through the portable profile functions and the store:
// nothing crashes, every listed section can be selected, and writing one
// section changes no other: read afresh, every other section has the very
// lines it had (a file in UTF-8 may become ASCII, which reads the same).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "fuzz_input.h"
#include "platform/case_fold.h"
#include "platform/profile_sections.h"
#include "platform/text_encoding.h"
#include "settings/ini_file.h"

namespace {

// A "[ ]" line: kernel32, and so the portable functions, drop such a header
// when another section is written, and its lines join the section before it.
// Lines end at each LF, which in CP932 no lead byte takes with it.
bool HasNamelessSection(std::string_view bytes) {
    const kiv::FileEncoding encoding = kiv::EncodingOfFile(bytes);
    bytes.remove_prefix(kiv::MarkOf(encoding).size());
    const bool wide = encoding.encoding == kiv::TextEncoding::Utf16Le ||
                      encoding.encoding == kiv::TextEncoding::Utf16Be;
    std::vector<std::u16string> lines;
    if (wide) {
        std::u16string text;
        kiv::AppendDecoded(bytes, encoding.encoding, text, true);
        for (std::size_t begin = 0; begin <= text.size();) {
            const std::size_t end = std::min(text.find(u'\n', begin), text.size());
            lines.push_back(text.substr(begin, end - begin));
            begin = end + 1;
        }
    } else {
        for (std::size_t begin = 0; begin <= bytes.size();) {
            const std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
            kiv::AppendDecoded(bytes.substr(begin, end - begin), encoding.encoding,
                               lines.emplace_back(), end == bytes.size());
            begin = end + 1;
        }
    }
    for (const std::u16string_view line : lines) {
        const std::size_t open = line.find_first_not_of(u" \t\r\v\f\x1A");
        const std::size_t close = line.rfind(u']');
        if (open != line.npos && line[open] == u'[' && close != line.npos && close > open &&
            line.substr(open + 1, close - open - 1).find_first_not_of(u" \t\r\v\f\x1A") ==
                std::u16string_view::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    using Keys = std::vector<std::pair<std::u16string, std::u16string>>;
    const auto& dir = fuzz::ScratchDir();
    const std::string_view bytes = fuzz::AsBytes(data, size);
    test::WriteBytes(dir.Path("settings.ini"), std::string(bytes));
    const std::u16string path = dir.File("settings.ini");
    const auto keysOf = [](IniFile& store, const std::u16string& section) {
        store.SetNowSection(section);
        Keys keys;
        for (const std::u16string& key : store.Keys()) keys.emplace_back(key, store.Data(key));
        return keys;
    };

    // Fresh instances each time: the cache keys on size and write time, which
    // rapid rewrites of one file can repeat.
    PortableProfileSections profile;
    IniFile ini(profile);
    if (!ini.Load(path)) return 0;
    const std::vector<std::u16string> sections = ini.Sections();
    std::map<std::u16string, std::vector<std::u16string>> lines;
    for (const std::u16string& section : sections) {
        for (const auto& entry : keysOf(ini, section)) (void)ini.InitData(entry.first, 1, 0);
        lines.emplace(FoldCase(section), profile.SectionLines(section, path));
    }

    // One section written: no other changes a line.
    const std::u16string target = sections.empty() ? u"Fuzz" : sections.front();
    ini.SetNowSection(target);
    ini.SetData(u"Fuzz", u"1");
    if (!ini.Save(target)) return 0;
    const bool nameless = HasNamelessSection(bytes);
    PortableProfileSections again;
    if (!nameless) {
        const std::vector<std::u16string> written = again.SectionLines(target, path);
        FUZZ_CHECK(!written.empty() && written.back() == u"Fuzz=1");
        for (const auto& [name, had] : lines) {
            if (name != FoldCase(target)) FUZZ_CHECK(again.SectionLines(name, path) == had);
        }
    }

    // Then every section, as the close writes them: read again, the store
    // holds what it wrote.
    std::map<std::u16string, Keys> held;
    for (const std::u16string& section : ini.Sections()) held[section] = keysOf(ini, section);
    if (!ini.Save(u"") || nameless) return 0;
    PortableProfileSections third;
    IniFile reread(third);
    FUZZ_CHECK(reread.Load(path));
    for (const auto& [section, keys] : held) FUZZ_CHECK(keysOf(reread, section) == keys);
    return 0;
}

#pragma once

// The settings file in memory: ordered sections of ordered keys, found without
// regard to letter case, one current section at a time. Read and written only
// through the profile-section functions, in the file's own encoding.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/profile_sections.h"
#include "settings/setting_value.h"

namespace kiv {

// A store used out of order: never loaded, or no section selected yet.
class IniFileUsageError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class IniFile {
  public:
    explicit IniFile(ProfileSections& profile = SystemProfileSections()) : profile_(&profile) {}

    // Reads every section of the file. False only when the file's section
    // list comes back unusable; a missing file loads as an empty store. A
    // name the profile functions cannot take (kernel32's take CP932, and a
    // look-alike character would name another file) loads as an empty store
    // that can never be written: false.
    bool Load(std::u16string_view iniFileName);
    // The encoding the file is read and written in: a value it cannot hold
    // exactly would not read back (CharactersEncodingLacks). Ansi before Load.
    TextEncoding Encoding() const { return encoding_; }
    // Writes one section, or every section when `section` is empty, stopping
    // at the first that fails. False when a write failed or there was nothing
    // to write. Throws IniFileUsageError on a store never loaded.
    bool Save(std::u16string_view section);

    const std::u16string& NowSection() const { return nowSection_; }
    // Selects a section (created empty when missing). Throws IniFileUsageError
    // on a store never loaded.
    void SetNowSection(std::u16string_view newSection);
    // The current section was in the store when selected, or has been written since.
    bool IsExist() const { return isExist_; }

    // Throws IniFileUsageError on a store never loaded.
    const std::vector<std::u16string>& Sections() const;
    // The keys of the current section that have a value, in order. Throws
    // IniFileUsageError before a section is selected.
    const std::vector<std::u16string>& Keys() const;

    // Removes a key from the current section; never fails.
    void DeleteData(std::u16string_view key);
    // Removes every listed key. Throws IniFileUsageError before a section is selected.
    void Clear();

    // The key's value in the current section; empty when there is none. Never fails.
    std::u16string Data(std::u16string_view key) const;
    // Sets the key, moving it to the end of its section with the given letter
    // case. Throws IniFileUsageError before a section is selected.
    void SetData(std::u16string_view key, std::u16string_view newData);

    // The stored value as the kind `iniType` names (0 text, 1 integer, 2 float,
    // 3 Boolean), or `fallback` when the stored text does not pass that kind's
    // check. Any other code gives the stored text unchecked. Never changes the store.
    SettingValue InitData(std::u16string_view key, std::int32_t iniType,
                          const SettingValue& fallback) const;

    static bool IsBool(std::u16string_view text);
    static bool IsInt(std::u16string_view text);
    static bool IsLng(std::u16string_view text);
    static bool IsSng(std::u16string_view text);

  private:
    struct Entry {
        std::u16string key;  // as written; for a line without "=" the whole line
        std::u16string value;
        bool hasSeparator;
    };
    // Entries in order, with an index by folded key: a section of thousands of
    // keys still loads in linear time.
    struct Section {
        std::vector<Entry> entries;
        std::unordered_map<std::u16string, std::size_t> index;

        const Entry* Find(std::u16string_view key) const;
        bool Remove(std::u16string_view key);
        void Append(Entry entry);
    };

    bool WriteSection(std::u16string_view section);
    void RequireLoaded() const;
    Section* Current();
    const Section* Current() const;

    ProfileSections* profile_;
    std::u16string fileName_;
    TextEncoding encoding_ = TextEncoding::Ansi;
    std::u16string nowSection_;
    bool isExist_ = false;
    bool loaded_ = false;
    bool sectionSelected_ = false;
    std::vector<std::u16string> sectionList_;
    std::vector<Section> sectionData_;                              // parallel to sectionList_
    std::unordered_map<std::u16string, std::size_t> sectionIndex_;  // folded name
    std::vector<std::u16string> keyList_;
};

}  // namespace kiv

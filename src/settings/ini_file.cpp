#include "settings/ini_file.h"

#include "platform/case_fold.h"
#include "settings/value_checks.h"

namespace kiv {
namespace {

bool IsBlank(std::u16string_view text) {
    return text.find_first_not_of(u' ') == std::u16string_view::npos;
}

}  // namespace

const IniFile::Entry* IniFile::Section::Find(std::u16string_view key) const {
    const auto found = index.find(FoldCase(key));
    return found == index.end() ? nullptr : &entries[found->second];
}

bool IniFile::Section::Remove(std::u16string_view key) {
    const auto found = index.find(FoldCase(key));
    if (found == index.end()) return false;
    const std::size_t position = found->second;
    index.erase(found);
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(position));
    for (std::size_t i = position; i < entries.size(); ++i) index[FoldCase(entries[i].key)] = i;
    return true;
}

void IniFile::Section::Append(Entry entry) {
    index[FoldCase(entry.key)] = entries.size();
    entries.push_back(std::move(entry));
}

bool IniFile::Load(std::u16string_view iniFileName) {
    fileName_ = iniFileName;
    sectionList_.clear();
    sectionData_.clear();
    sectionIndex_.clear();
    loaded_ = true;
    // A store is loaded once in practice; loading again starts without a
    // selection rather than pointing into sections that are gone.
    nowSection_.clear();
    keyList_.clear();
    sectionSelected_ = false;

    encoding_ = profile_->EncodingOf(fileName_);
    const std::optional<std::vector<std::u16string>> names = profile_->SectionNames(fileName_);
    if (!names) return false;

    for (const std::u16string& name : *names) {
        if (IsBlank(name)) continue;
        // Listed twice in different case: the profile functions give the first
        // one's lines for either, so the second adds nothing.
        if (!sectionIndex_.emplace(FoldCase(name), sectionList_.size()).second) continue;
        sectionList_.push_back(name);
        Section& section = sectionData_.emplace_back();
        for (const std::u16string& line : profile_->SectionLines(name, fileName_)) {
            if (IsBlank(line)) continue;
            const std::size_t equals = line.find(u'=');
            Entry entry = equals == std::u16string::npos
                              ? Entry{line, line, false}
                              : Entry{line.substr(0, equals), line.substr(equals + 1), true};
            section.Remove(entry.key);
            section.Append(std::move(entry));
        }
    }
    isExist_ = false;
    return true;
}

void IniFile::RequireLoaded() const {
    if (!loaded_) throw IniFileUsageError("the settings store was never loaded");
}

IniFile::Section* IniFile::Current() {
    if (!loaded_ || !sectionSelected_) return nullptr;
    return &sectionData_[sectionIndex_.at(FoldCase(nowSection_))];
}

const IniFile::Section* IniFile::Current() const {
    return const_cast<IniFile*>(this)->Current();
}

void IniFile::SetNowSection(std::u16string_view newSection) {
    RequireLoaded();
    if (newSection == nowSection_ && (sectionSelected_ || newSection.empty())) return;
    const auto [found, added] = sectionIndex_.emplace(FoldCase(newSection), sectionList_.size());
    if (added) {
        sectionList_.emplace_back(newSection);
        sectionData_.emplace_back();
    }
    nowSection_ = sectionList_[found->second];
    isExist_ = !added;
    sectionSelected_ = true;
    keyList_.clear();
    for (const Entry& entry : sectionData_[found->second].entries) {
        if (entry.hasSeparator) keyList_.push_back(entry.key);
    }
}

const std::vector<std::u16string>& IniFile::Sections() const {
    RequireLoaded();
    return sectionList_;
}

const std::vector<std::u16string>& IniFile::Keys() const {
    if (!sectionSelected_) throw IniFileUsageError("no settings section is selected");
    return keyList_;
}

void IniFile::DeleteData(std::u16string_view key) {
    Section* section = Current();
    if (section == nullptr) return;
    section->Remove(key);
    for (auto it = keyList_.begin(); it != keyList_.end(); ++it) {
        if (EqualIgnoringCase(*it, key)) {
            keyList_.erase(it);
            break;
        }
    }
}

void IniFile::Clear() {
    const std::vector<std::u16string> keys = Keys();
    for (const std::u16string& key : keys) DeleteData(key);
}

std::u16string IniFile::Data(std::u16string_view key) const {
    const Section* section = Current();
    if (section == nullptr) return {};
    const Entry* entry = section->Find(key);
    return entry == nullptr ? std::u16string() : entry->value;
}

void IniFile::SetData(std::u16string_view key, std::u16string_view newData) {
    RequireLoaded();
    Section* section = Current();
    if (section == nullptr) throw IniFileUsageError("no settings section is selected");
    DeleteData(key);
    section->Append(Entry{std::u16string(key), std::u16string(newData), true});
    keyList_.emplace_back(key);
}

SettingValue IniFile::InitData(std::u16string_view key, std::int32_t iniType,
                               const SettingValue& fallback) const {
    const std::u16string value = Data(key);
    switch (static_cast<std::uint32_t>(iniType)) {
        case 0:
            return IsBlank(value) ? fallback : SettingValue(value);
        case 1:
            return kiv::IsLng(value) ? SettingValue(ToLng(value)) : fallback;
        case 2:
            return kiv::IsSng(value) ? SettingValue(ToSng(value)) : fallback;
        case 3:
            return kiv::IsBool(value) ? SettingValue(ToBool(value)) : fallback;
        default:
            return value;
    }
}

bool IniFile::IsBool(std::u16string_view text) {
    return kiv::IsBool(text);
}
bool IniFile::IsInt(std::u16string_view text) {
    return kiv::IsInt(text);
}
bool IniFile::IsLng(std::u16string_view text) {
    return kiv::IsLng(text);
}
bool IniFile::IsSng(std::u16string_view text) {
    return kiv::IsSng(text);
}

bool IniFile::WriteSection(std::u16string_view section) {
    SetNowSection(section);
    std::vector<std::u16string> lines;
    lines.reserve(keyList_.size());
    for (const std::u16string& key : keyList_) lines.push_back(key + u"=" + Data(key));
    if (!profile_->WriteSection(section, lines, fileName_)) return false;
    isExist_ = true;
    return true;
}

bool IniFile::Save(std::u16string_view section) {
    RequireLoaded();
    if (!section.empty()) return WriteSection(section);
    bool result = false;
    // A copy: writing selects each section, which may add to the list.
    const std::vector<std::u16string> sections = sectionList_;
    for (const std::u16string& name : sections) {
        result = WriteSection(name);
        if (!result) break;
    }
    return result;
}

}  // namespace kiv

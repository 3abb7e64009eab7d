#include "app/hotkeys/macro_hotkeys.h"

#include <algorithm>

#include "app/common/app_texts.h"
#include "platform/ansi_text.h"
#include "platform/case_fold.h"
#include "settings/ini_file.h"

namespace kiv {
namespace {

constexpr std::u16string_view kSection = u"MacroHotkeys";

}  // namespace

void MacroHotkeys::Read(IniFile& store) {
    entries_.clear();
    changed_ = false;
    settings_ = store.Encoding();
    const auto& sections = store.Sections();
    present_ = std::any_of(sections.begin(), sections.end(), [](const std::u16string& name) {
        return EqualIgnoringCase(name, kSection);
    });
    if (!present_) return;
    store.SetNowSection(kSection);
    for (const std::u16string& key : store.Keys()) entries_.push_back({key, store.Data(key)});
}

void MacroHotkeys::Write(IniFile& store) const {
    store.SetNowSection(kSection);
    store.Clear();
    for (const MacroHotkey& entry : entries_) store.SetData(entry.key, entry.title);
}

std::vector<std::optional<Hotkey>> MacroHotkeys::Keys() const {
    std::vector<std::optional<Hotkey>> keys;
    for (const MacroHotkey& entry : entries_) keys.push_back(ParseHotkey(entry.key));
    return keys;
}

std::optional<Hotkey> MacroHotkeys::KeyOf(std::u16string_view title) const {
    for (const MacroHotkey& entry : entries_) {
        if (entry.title != title) continue;
        if (const auto key = ParseHotkey(entry.key)) return key;
    }
    return std::nullopt;
}

std::optional<std::u16string> MacroHotkeys::TitleHolding(const Hotkey& key,
                                                         std::u16string_view title) const {
    for (const MacroHotkey& entry : entries_) {
        if (entry.title != title && ParseHotkey(entry.key) == key) return entry.title;
    }
    return std::nullopt;
}

void MacroHotkeys::Set(std::u16string_view oldTitle, std::u16string_view newTitle,
                       std::optional<Hotkey> key) {
    const auto before = entries_;
    // One key a title: a new key replaces whatever key the new title had.
    std::erase_if(entries_, [&](const MacroHotkey& entry) {
        return (entry.title == oldTitle || (key && entry.title == newTitle)) &&
               ParseHotkey(entry.key);
    });
    if (key) entries_.push_back({FormatHotkey(*key), std::u16string(newTitle)});
    if (entries_ != before) changed_ = true;
}

void MacroHotkeys::Remove(const std::vector<std::size_t>& positions) {
    std::vector<MacroHotkey> kept;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (std::find(positions.begin(), positions.end(), i) == positions.end()) {
            kept.push_back(entries_[i]);
        }
    }
    if (kept.size() != entries_.size()) changed_ = true;
    entries_ = std::move(kept);
}

namespace {

bool Among(const std::vector<std::u16string>& titles, const std::u16string& title) {
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

}  // namespace

std::vector<MacroHotkey> MacroHotkeys::EntriesOf(const std::vector<std::u16string>& titles) const {
    std::vector<MacroHotkey> entries;
    for (const MacroHotkey& entry : entries_) {
        if (Among(titles, entry.title)) entries.push_back(entry);
    }
    return entries;
}

void MacroHotkeys::Restore(const std::vector<std::u16string>& titles,
                           const std::vector<MacroHotkey>& entries) {
    const auto before = entries_;
    std::erase_if(entries_, [&](const MacroHotkey& entry) { return Among(titles, entry.title); });
    entries_.insert(entries_.end(), entries.begin(), entries.end());
    if (entries_ != before) changed_ = true;
}

std::vector<std::u16string> DescribeMacroHotkeys(
    const MacroHotkeys& hotkeys, const std::function<bool(std::u16string_view)>& titleExists,
    bool tabs) {
    std::vector<std::u16string> lines;
    for (const MacroHotkey& entry : hotkeys.Entries()) {
        const std::optional<Hotkey> key = ParseHotkey(entry.key);
        std::u16string line = (key ? FormatHotkey(*key) : entry.key) + u": " + entry.title;
        if (!key) {
            line += texts::kKeyUnreadable;
        } else if (!titleExists(entry.title)) {
            line += tabs ? texts::kNoTabHasTitle : texts::kNoMacroOfTitle;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::u16string> MacroHotkeyTitleRefusal(std::u16string_view title,
                                                      TextEncoding settings) {
    if (const std::vector<char32_t> lacking = CharactersEncodingLacks(title, settings);
        !lacking.empty()) {
        return Fill(texts::kTitleNotInSettings, {NameCharacters(lacking)});
    }
    if (title.empty() || title.front() == u' ' || title.back() == u' ' || title.front() == u'\t' ||
        title.back() == u'\t') {
        return std::u16string(texts::kTitleWithSpaces);
    }
    return std::nullopt;
}

}  // namespace kiv

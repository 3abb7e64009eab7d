#include "app/window/startup_settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <variant>

#include "app/common/app_texts.h"
#include "platform/ansi_text.h"
#include "platform/case_fold.h"
#include "platform/file_system.h"
#include "settings/ini_file.h"
#include "settings/value_checks.h"

namespace kiv {
namespace {

std::u16string SiblingPath(std::u16string_view programPath, std::u16string_view extension) {
    const std::size_t slash = programPath.rfind(u'\\');
    const std::size_t nameStart = slash == std::u16string_view::npos ? 0 : slash + 1;
    const std::u16string_view name = programPath.substr(nameStart);
    const std::size_t dot = name.rfind(u'.');
    // The directory keeps its backslash, so a drive root gives C:\ and not C:\\.
    return std::u16string(programPath.substr(0, nameStart)) + std::u16string(name.substr(0, dot)) +
           std::u16string(extension);
}

std::u16string DecimalText(float twips) {
    const std::string digits = std::to_string(std::lround(twips));
    return {digits.begin(), digits.end()};
}

}  // namespace

std::u16string IniFilePath(std::u16string_view programPath) {
    return SiblingPath(programPath, u".ini");
}

std::u16string DefaultMacroFilePath(std::u16string_view programPath) {
    return SiblingPath(programPath, u".txt");
}

std::optional<std::u16string> UnsavableSettingsNotice(std::u16string_view iniPath,
                                                      TextEncoding encoding) {
    const std::vector<char32_t> lacking = CharactersEncodingLacks(iniPath, encoding);
    if (lacking.empty()) return std::nullopt;
    return Fill(texts::kUnsavableSettings, {iniPath, NameCharacters(lacking)});
}

StartupSettings ReadStartupSettings(const std::u16string& iniPath, const WindowGeometry& current,
                                    const std::u16string& defaultMacroFile,
                                    ProfileSections& profile) {
    StartupSettings settings;
    // The profile functions read a file that is there but cannot be opened as
    // one without sections, and say nothing: it is told apart by opening it
    // here, and held open while the store reads it, so that no program can
    // lock it in between.
    std::optional<FileReader> held;
    try {
        held.emplace(iniPath);
        // A range another program locked opens, and fails only as it is read.
        std::array<char, 4096> buffer{};
        while (held->Read(buffer.data(), buffer.size()) != 0) {
        }
    } catch (const FileError& error) {
        // Not there is the first run; a folder of that name is no settings
        // file, and is told when the close cannot write there.
        if (StampOf(iniPath) && !IsFolder(iniPath)) {
            settings.unreadable = Fill(texts::kSettingsUnreadable, {iniPath, error.Reason()});
        }
    }
    IniFile store(profile);
    store.Load(iniPath);
    held.reset();
    store.SetNowSection(u"Position");
    settings.encoding = store.Encoding();
    const auto read = [&](const char16_t* key, float own) {
        const std::optional<std::int32_t> stored = ParseInt32(store.Data(key));
        return stored ? static_cast<float>(*stored) : own;
    };
    settings.geometry.left = read(u"Left", current.left);
    settings.geometry.top = read(u"Top", current.top);
    settings.geometry.width = read(u"Width", current.width);
    settings.geometry.height = read(u"Height", current.height);
    // A window of no size cannot be seen, nor made larger with the mouse.
    if (settings.geometry.width <= 0) settings.geometry.width = current.width;
    if (settings.geometry.height <= 0) settings.geometry.height = current.height;
    store.SetNowSection(u"Setting");
    // Only a file named there wins over the tabs' Active: none written is no
    // disagreement, and the default file no tab of the player's.
    const bool fileNamed = !store.Data(u"FileName").empty();
    const SettingValue file = store.InitData(u"FileName", 0, defaultMacroFile);
    settings.macroFile = std::get<std::u16string>(file);
    settings.options = ReadOptions(store);
    settings.macroHotkeys.Read(store);
    settings.recentFiles = ReadRecentFiles(store);
    const auto& sections = store.Sections();
    if (std::any_of(sections.begin(), sections.end(), [](const std::u16string& section) {
            return EqualIgnoringCase(section, u"Tabs");
        })) {
        settings.tabs = ReadTabs(store, fileNamed ? settings.macroFile : u"");
    }
    settings.paletteKept =
        std::any_of(sections.begin(), sections.end(), [](const std::u16string& section) {
            return EqualIgnoringCase(section, u"Usage") || EqualIgnoringCase(section, u"Favorites");
        });
    if (settings.paletteKept) {
        settings.usage = ReadMacroUsage(store);
        settings.favourites = ReadFavoriteMacros(store);
    }
    settings.countersKept = std::any_of(
        sections.begin(), sections.end(),
        [](const std::u16string& section) { return EqualIgnoringCase(section, u"Counters"); });
    if (settings.countersKept) settings.counters = ReadMacroCounters(store);
    settings.variables = ReadMacroVariables(store);
    return settings;
}

bool WriteShutdownSettings(const std::u16string& iniPath, const ShutdownSettings& settings,
                           ProfileSections& profile) {
    IniFile store(profile);
    store.Load(iniPath);
    const bool writeOptions = settings.optionsChanged || HasOptionSection(store);
    store.SetNowSection(u"Position");
    store.SetData(u"Left", DecimalText(settings.geometry.left));
    store.SetData(u"Top", DecimalText(settings.geometry.top));
    store.SetData(u"Width", DecimalText(settings.geometry.width));
    store.SetData(u"Height", DecimalText(settings.geometry.height));
    if (settings.macroFile) {
        store.SetNowSection(u"Setting");
        store.SetData(u"FileName", *settings.macroFile);
    }
    if (writeOptions) WriteOptions(store, settings.options);
    if (settings.macroHotkeys.ToWrite()) settings.macroHotkeys.Write(store);
    if (settings.recentFiles) WriteRecentFiles(store, *settings.recentFiles);
    if (settings.tabs) WriteTabs(store, *settings.tabs);
    if (settings.usage) WriteMacroUsage(store, *settings.usage);
    if (settings.favourites) WriteFavoriteMacros(store, *settings.favourites);
    if (settings.counters) WriteMacroCounters(store, *settings.counters);
    return store.Save(u"");
}

bool WriteTabSettings(const std::u16string& iniPath, const TabSet& tabs, bool shownLoaded,
                      ProfileSections& profile) {
    IniFile store(profile);
    // Unread, a section written back would lose the keys it held.
    if (!store.Load(iniPath)) return false;
    WriteTabs(store, tabs);
    const bool tabsSaved = store.Save(u"Tabs");
    if (!shownLoaded) return tabsSaved;  // its stored path stays for the next start
    store.SetNowSection(u"Setting");
    store.SetData(u"FileName", tabs.ShownTab().path);
    return store.Save(u"Setting") && tabsSaved;
}

bool WriteHotkeySettings(const std::u16string& iniPath, const Options& options, bool optionsChanged,
                         const MacroHotkeys& macroHotkeys, ProfileSections& profile) {
    IniFile store(profile);
    store.Load(iniPath);
    bool saved = true;
    if (optionsChanged || HasOptionSection(store)) {
        WriteOptions(store, options);
        saved = store.Save(u"Option");
    }
    if (macroHotkeys.ToWrite()) {
        macroHotkeys.Write(store);
        saved = store.Save(u"MacroHotkeys") && saved;
    }
    return saved;
}

namespace {

// Sets the section `section` by `write` and saves it alone.
template <class Write>
bool WriteSectionNow(const std::u16string& iniPath, ProfileSections& profile,
                     std::u16string_view section, const Write& write) {
    IniFile store(profile);
    // Unread, a section written back would lose the keys it held.
    if (!store.Load(iniPath)) return false;
    write(store);
    return store.Save(section);
}

}  // namespace

bool WriteCounterSettings(const std::u16string& iniPath, const MacroCounters& counters,
                          ProfileSections& profile) {
    return WriteSectionNow(iniPath, profile, u"Counters",
                           [&](IniFile& store) { WriteMacroCounters(store, counters); });
}

bool WriteVariableSettings(const std::u16string& iniPath, const MacroVariables& variables,
                           ProfileSections& profile) {
    return WriteSectionNow(iniPath, profile, u"Variables",
                           [&](IniFile& store) { WriteMacroVariables(store, variables); });
}

bool WritePaletteSettings(const std::u16string& iniPath, const MacroUsage& usage,
                          const FavoriteMacros& favourites, ProfileSections& profile) {
    IniFile store(profile);
    // Unread, a section written back would lose the keys it held.
    if (!store.Load(iniPath)) return false;
    WriteMacroUsage(store, usage);
    const bool usageSaved = store.Save(u"Usage");
    WriteFavoriteMacros(store, favourites);
    return store.Save(u"Favorites") && usageSaved;
}

std::u16string SettingsNotSavedText(std::u16string_view iniPath) {
    return Fill(texts::kSettingsNotSaved, {iniPath});
}

}  // namespace kiv

#pragma once

// What the main window reads from its settings file at start-up and writes
// back when it closes. Portable: the window supplies its geometry and the
// store its profile functions.

#include <optional>
#include <string>
#include <string_view>

#include "app/hotkeys/macro_hotkeys.h"
#include "app/window/window_placement.h"
#include "platform/profile_sections.h"
#include "settings/macro_usage.h"
#include "settings/macro_variables.h"
#include "settings/options.h"
#include "settings/recent_files.h"
#include "settings/tab_set.h"

namespace kiv {

// From the program's full path (C:\Tools\chat.exe): C:\Tools\chat.ini and
// C:\Tools\chat.txt; one backslash after a drive root (C:\chat.ini).
std::u16string IniFilePath(std::u16string_view programPath);
std::u16string DefaultMacroFilePath(std::u16string_view programPath);

// What the user is told when the settings file's path holds characters its
// encoding lacks (the folder the tool was put in; CP932 unless the file is a
// Unicode one): kernel32's functions would write to a look-alike's file, and
// the macro file beside it could not be named there, so the settings are
// never written. Nothing when the path is fine.
std::optional<std::u16string> UnsavableSettingsNotice(std::u16string_view iniPath,
                                                      TextEncoding encoding);

// What the user is told when the settings could not be written at the close.
std::u16string SettingsNotSavedText(std::u16string_view iniPath);

struct StartupSettings {
    // What the settings file is read and written in: a value it cannot hold
    // exactly is refused where it is set.
    TextEncoding encoding = TextEncoding::Ansi;
    // What the player is told when the file is there but could not be read
    // (another program holds it, or it is barred): everything below is then
    // a default, and no write of this run may touch the file. Nothing when it
    // was read, or is not there yet (the first run).
    std::optional<std::u16string> unreadable;
    WindowGeometry geometry;
    std::u16string macroFile;
    Options options;
    MacroHotkeys macroHotkeys;
    RecentFiles recentFiles;
    // The tabs, where the file keeps them (a second tab was open once);
    // macroFile's tab shown.
    std::optional<TabSet> tabs;
    // How often each macro was said, and the macros pinned; `paletteKept`:
    // the file has a section of them.
    MacroUsage usage;
    FavoriteMacros favourites;
    bool paletteKept = false;
    // How often each macro with a <count> was said; `countersKept`: the file
    // has their section. And the player's own names.
    MacroCounters counters;
    bool countersKept = false;
    MacroVariables variables;
};

// Each position value that is missing or not a number rounding into the 32-bit
// range keeps the window's own (a wide desktop's right edge lies far beyond
// 16 bits of twips), as does a width or height of zero or less; a blank macro
// file path gives the default one; then the
// options, each with its default where unusable. Never writes the file.
StartupSettings ReadStartupSettings(const std::u16string& iniPath, const WindowGeometry& current,
                                    const std::u16string& defaultMacroFile,
                                    ProfileSections& profile = SystemProfileSections());

struct ShutdownSettings {
    WindowGeometry geometry{};
    // None when no list ever loaded: the stored path is left as it is.
    std::optional<std::u16string> macroFile{};
    Options options{};
    bool optionsChanged = false;  // during this run
    MacroHotkeys macroHotkeys{};  // written when MacroHotkeys::ToWrite
    // None until the user has loaded a second file or used the list: a
    // file without the section keeps it away.
    std::optional<RecentFiles> recentFiles{};
    // None until a second tab was open: a file without the section keeps it away.
    std::optional<TabSet> tabs{};
    // None until the palette is in use (its key set, or a macro pinned).
    std::optional<MacroUsage> usage{};
    std::optional<FavoriteMacros> favourites{};
    // None until a macro with a <count> was said.
    std::optional<MacroCounters> counters{};
};

// Loads the file again, so foreign sections and keys survive, sets the five
// values of the window and its macro file (they move to the end of their
// sections), and the options and the macros' hotkeys only where the file has
// their section already or they changed during the run: a user who never
// touches them keeps the file "Position" then "Setting". Writes every
// section; false when it could not.
bool WriteShutdownSettings(const std::u16string& iniPath, const ShutdownSettings& settings,
                           ProfileSections& profile = SystemProfileSections());

// Writes the section "Tabs" at once, and the shown tab's file as the macro
// file where its list loaded, leaving the rest of the file as it is. False
// when they could not be written, or the file could not be read.
bool WriteTabSettings(const std::u16string& iniPath, const TabSet& tabs, bool shownLoaded,
                      ProfileSections& profile = SystemProfileSections());

// Writes the sections "Option" and "MacroHotkeys" at once, as they are, by
// the rule of the close (each only where the file has it or it changed in
// this run), leaving the rest of the file as it is: keys set during a run
// must survive a crash or a power cut before the close writes everything.
// False when they could not be written.
bool WriteHotkeySettings(const std::u16string& iniPath, const Options& options, bool optionsChanged,
                         const MacroHotkeys& macroHotkeys,
                         ProfileSections& profile = SystemProfileSections());

// Writes the section "Counters", or "Variables", at once, leaving the rest of
// the file as it is. False when it could not be written, or the file could
// not be read.
bool WriteCounterSettings(const std::u16string& iniPath, const MacroCounters& counters,
                          ProfileSections& profile = SystemProfileSections());
bool WriteVariableSettings(const std::u16string& iniPath, const MacroVariables& variables,
                           ProfileSections& profile = SystemProfileSections());

// Writes the sections "Usage" and "Favorites" at once, leaving the rest of
// the file as it is. False when they could not be written, or the file
// could not be read.
bool WritePaletteSettings(const std::u16string& iniPath, const MacroUsage& usage,
                          const FavoriteMacros& favourites,
                          ProfileSections& profile = SystemProfileSections());

}  // namespace kiv

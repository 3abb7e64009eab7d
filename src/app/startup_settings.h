#pragma once

// What the main window reads from its settings file at start-up and writes
// back when it closes. Portable: the window supplies its geometry and the
// store its profile functions.

#include <optional>
#include <string>
#include <string_view>

#include "app/window_placement.h"
#include "platform/profile_sections.h"

namespace kiv {

// From the program's full path (C:\Tools\chat.exe): C:\Tools\chat.ini and
// C:\Tools\chat.txt; one backslash after a drive root (C:\chat.ini).
std::u16string IniFilePath(std::u16string_view programPath);
std::u16string DefaultMacroFilePath(std::u16string_view programPath);

struct StartupSettings {
    WindowGeometry geometry;
    std::u16string macroFile;
};

// Each position value that is missing or not a number rounding into the 32-bit
// range keeps the window's own (a wide desktop's right edge lies far beyond
// 16 bits of twips); a blank macro file path gives the default one. Never
// writes the file.
StartupSettings ReadStartupSettings(const std::u16string& iniPath, const WindowGeometry& current,
                                    const std::u16string& defaultMacroFile,
                                    ProfileSections& profile = SystemProfileSections());

// Loads the file again, so foreign sections and keys survive, sets the five
// values (they move to the end of their sections) and writes every section.
// Without a macro file (none ever loaded) the stored one is left as it is.
// False when the file could not be written.
bool WriteShutdownSettings(const std::u16string& iniPath, const WindowGeometry& geometry,
                           const std::optional<std::u16string>& macroFile,
                           ProfileSections& profile = SystemProfileSections());

}  // namespace kiv

#pragma once

// Which file the user may make the macro file, chosen in the Open dialog or
// dropped on the window, apart from the window. Portable.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace kiv {

// Why `path` cannot become the macro file, or nothing when it can: the
// settings file keeps the path in its encoding (`settings`: CP932 unless it
// is a Unicode file), and one it cannot hold exactly would name another file
// at the next start (a look-alike character) or none.
std::optional<std::u16string> MacroFilePathRefusal(std::u16string_view path, TextEncoding settings);

// What a drop onto the window does: one file is loaded, as if chosen in the
// dialog; a shortcut (Explorer drops the .lnk itself) stands for the file it
// points to. A folder, a file that is not there (which is never made), a
// path the settings file cannot hold, or more than one thing loads nothing,
// and the user is told why.
struct DropOutcome {
    std::optional<std::u16string> load;
    std::u16string message;  // when nothing is loaded
    friend bool operator==(const DropOutcome&, const DropOutcome&) = default;
};
// What the system says of a dropped path.
struct DroppedPath {
    bool exists = false;
    bool folder = false;
};
struct DropFacts {
    std::function<DroppedPath(const std::u16string&)> look;
    // A shortcut's target; nothing when it cannot be read.
    std::function<std::optional<std::u16string>(const std::u16string&)> shortcutTarget;
    TextEncoding settings = TextEncoding::Ansi;  // the settings file's
};
DropOutcome DecideDrop(const std::vector<std::u16string>& paths, const DropFacts& facts);

}  // namespace kiv

#pragma once

// How the list to show came: another file loaded in place of the one shown,
// the same file read again after it changed on disk, or after the tool's own
// edit. What the user was doing with the list (finding, a selection) goes
// with the file, not with a new one. Portable.

namespace kiv {

enum class ListCame { Loaded, Reloaded, Edited };

}  // namespace kiv

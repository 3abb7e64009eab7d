#pragma once

// One copy of the tool per settings file: two over the same files would each
// write its own stale keys and files used lately over the other's at its
// close. The copy that runs is known by a name in the session's namespace
// made from the settings file's full path. Portable.

#include <string>
#include <string_view>

namespace kiv {

// The name of the lock held by the copy for the settings file at
// `normalisedPath` (full, letter case folded, as Windows compares names): a
// hash, for a kernel object's name cannot hold "\".
std::u16string SingleCopyName(std::u16string_view normalisedPath);
// The name a copy gives its hand-over to one started as administrator, which
// waits for it to end instead of bringing it forward.
std::u16string HandOverName(std::u16string_view copyName);

}  // namespace kiv

#include "app/macro_file/file_watch.h"

#include <functional>
#include <string_view>

namespace kiv {

std::optional<FileStamp> LookAt(const std::u16string& path, bool coarseStamps) {
    std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp || !coarseStamps || stamp->size > kMostHashed) return stamp;
    try {
        const std::string bytes = ReadFileBytes(path);
        // Never 0, which stands for no hash.
        stamp->contentHash = std::hash<std::string_view>{}(bytes) | 1u;
    } catch (const FileError&) {
        // Unreadable for now (a save under way holds it): the stamp alone,
        // and the next look reads it again.
    }
    return stamp;
}

}  // namespace kiv

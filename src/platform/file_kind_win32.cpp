#include "platform/file_kind_win32.h"

#include "platform/handle_win32.h"
#include "platform/wide_text.h"

namespace kiv {
namespace {

FileKindSeam kindSeam = nullptr;

}  // namespace

std::optional<FileKind> FileKindOf(const std::u16string& path) {
    if (kindSeam != nullptr) return kindSeam(path);
    FileKind kind;
    kind.attributes = GetFileAttributesW(Wide(path));
    if (kind.attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    if ((kind.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return kind;
    // A tag that cannot be read leaves the file taken for a link.
    const UniqueFile file(
        CreateFileW(Wide(path), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (file && GetFileInformationByHandleEx(file.Get(), FileAttributeTagInfo, &tag, sizeof tag)) {
        kind.attributes = tag.FileAttributes;
        kind.reparseTag = tag.ReparseTag;
    }
    return kind;
}

bool IsCloudFile(const FileKind& kind) {
    // The sixteen tags differ only in the mask's bits.
    return (kind.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (kind.reparseTag & ~static_cast<DWORD>(IO_REPARSE_TAG_CLOUD_MASK)) ==
               static_cast<DWORD>(IO_REPARSE_TAG_CLOUD);
}

bool IsLinkElsewhere(const FileKind& kind) {
    return (kind.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !IsCloudFile(kind);
}

bool ContentsAway(const FileKind& kind) {
    return (kind.attributes & (FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS |
                               FILE_ATTRIBUTE_RECALL_ON_OPEN | FILE_ATTRIBUTE_OFFLINE)) != 0;
}

void SetFileKindSeam(FileKindSeam seam) {
    kindSeam = seam;
}

}  // namespace kiv

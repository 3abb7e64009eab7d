#pragma once

// What a file's attributes and reparse tag tell about reading and replacing
// it, looked up without opening its contents: a sync client's placeholder is
// not downloaded by the look. Windows only.

#include <windows.h>

#include <optional>
#include <string>

// What the cross-compiler's headers lack.
#ifndef FILE_ATTRIBUTE_RECALL_ON_OPEN
#define FILE_ATTRIBUTE_RECALL_ON_OPEN 0x00040000
#endif
#ifndef FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
#define FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS 0x00400000
#endif
#ifndef IO_REPARSE_TAG_CLOUD
#define IO_REPARSE_TAG_CLOUD 0x9000001AL
#endif
#ifndef IO_REPARSE_TAG_CLOUD_MASK
#define IO_REPARSE_TAG_CLOUD_MASK 0x0000F000L
#endif

namespace kiv {

struct FileKind {
    DWORD attributes = 0;
    DWORD reparseTag = 0;  // where the attributes hold FILE_ATTRIBUTE_REPARSE_POINT
};

// Nothing for a file that cannot be looked up. A reparse point's tag comes
// from a handle opened on the reparse point itself (FILE_FLAG_OPEN_REPARSE_POINT):
// one opened through it would start the download of a placeholder.
std::optional<FileKind> FileKindOf(const std::u16string& path);

// A sync client's file (IO_REPARSE_TAG_CLOUD to IO_REPARSE_TAG_CLOUD_F): its
// reparse point marks where its contents are kept, not another name for
// another file, and the client keeps following it when it is replaced.
bool IsCloudFile(const FileKind& kind);
// A name for a file kept elsewhere (a symbolic link, a junction, a
// deduplicated file...): written in place, so that it stays one.
bool IsLinkElsewhere(const FileKind& kind);
// Its contents are not on this machine's disk: the first reading fetches
// them, for as long as the network takes.
bool ContentsAway(const FileKind& kind);

// For tests: Wine reports neither a cloud tag nor the recall and offline
// attributes. Null: the real look.
using FileKindSeam = std::optional<FileKind> (*)(const std::u16string& path);
void SetFileKindSeam(FileKindSeam seam);

}  // namespace kiv

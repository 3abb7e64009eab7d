#include "platform/file_system.h"

namespace kiv {
namespace {

BeforeOpenHook beforeOpen = nullptr;

}  // namespace

void SetBeforeOpenHook(BeforeOpenHook hook) {
    beforeOpen = hook;
}

void RunBeforeOpenHook(const std::u16string& path) {
    if (beforeOpen != nullptr) beforeOpen(path);
}

std::string ReadFileBytes(const std::u16string& path) {
    FileReader reader(path);
    std::string bytes;
    // The size is a hint only: the file may grow or shrink while it is read.
    bytes.resize(static_cast<std::size_t>(reader.SizeHint()) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        const std::size_t got = reader.Read(bytes.data() + used, bytes.size() - used);
        if (got == 0) break;
        used += got;
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace kiv

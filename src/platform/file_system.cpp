#include "platform/file_system.h"

#include <array>
#include <atomic>

#include "platform/case_fold.h"

namespace kiv {
namespace {

BeforeOpenHook beforeOpen = nullptr;
BeforeOpenHook beforeRead = nullptr;

std::atomic<unsigned long> sideFileSerial{0};

constexpr std::u16string_view kNewMark = u".kivmacro-new-";
constexpr std::u16string_view kOldMark = u".kivmacro-old-";
constexpr std::u16string_view kEarlierMark = u".kivtmp";

std::u16string Decimal(unsigned long value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace

std::u16string SideFileName(const std::u16string& path, SideFile kind, unsigned long processId) {
    return path + std::u16string(kind == SideFile::New ? kNewMark : kOldMark) + Decimal(processId) +
           u"-" + Decimal(++sideFileSerial);
}

bool IsSideFileOf(std::u16string_view name, std::u16string_view fileName) {
    if (name.size() <= fileName.size() ||
        !EqualIgnoringCase(name.substr(0, fileName.size()), fileName)) {
        return false;
    }
    const std::u16string_view rest = name.substr(fileName.size());
    constexpr std::array<std::u16string_view, 3> kMarks = {kNewMark, kOldMark, kEarlierMark};
    for (const std::u16string_view mark : kMarks) {
        if (rest.size() > mark.size() && EqualIgnoringCase(rest.substr(0, mark.size()), mark)) {
            return true;
        }
    }
    return false;
}

void SetBeforeOpenHook(BeforeOpenHook hook) {
    beforeOpen = hook;
}

void RunBeforeOpenHook(const std::u16string& path) {
    if (beforeOpen != nullptr) beforeOpen(path);
}

void SetBeforeReadHook(BeforeOpenHook hook) {
    beforeRead = hook;
}

void RunBeforeReadHook(const std::u16string& path) {
    if (beforeRead != nullptr) beforeRead(path);
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

std::u16string_view FileNameOf(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace kiv

#pragma once

// What the macro benchmarks share: heap use counted (so a peak can be told
// against the file's size) and a million-line macro file. Included once per
// benchmark program: it replaces the program's operator new.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "platform/ansi_text.h"
#include "platform/utf8.h"

namespace {
std::atomic<std::size_t> heapNow{0};
std::atomic<std::size_t> heapPeak{0};
}  // namespace

void* operator new(std::size_t size) {
    // The size lives in front of the block so delete knows what to take off.
    auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (block == nullptr) throw std::bad_alloc();
    *block = size;
    const std::size_t now = heapNow += size;
    std::size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* pointer) noexcept {
    if (pointer == nullptr) return;
    auto* block =
        reinterpret_cast<std::size_t*>(static_cast<char*>(pointer) - sizeof(std::max_align_t));
    heapNow -= *block;
    std::free(block);
}
void operator delete(void* pointer, std::size_t) noexcept {
    operator delete(pointer);
}

namespace {

enum class Encoding { Cp932, Utf8 };

// A million macros of mixed Japanese and ASCII, as players write them: about
// 40 MB in CP932 (as files always were) or 50 MB in UTF-8 (as Notepad saves
// them today), in the temporary folder under `name`.
std::filesystem::path WriteLargeMacroFile(Encoding encoding, const std::string& name) {
    auto path = std::filesystem::temp_directory_path() / name;
    std::string bytes;
    bytes.reserve(52u << 20);
    for (int i = 0; i < 1'000'000; ++i) {
        const std::string n = std::to_string(i);
        const std::u16string number(n.begin(), n.end());
        std::u16string line;
        switch (i % 4) {
            case 0:
                line = u"/p 回復お願いします急ぎで\\n<now>\t回復 " + number;
                break;
            case 1:
                line = u"Thanks for the party, see you! #" + number + u"\tthanks";
                break;
            case 2:
                line = u"表示テストです、能力十分\\nソフト" + number + u"\t表示";
                break;
            default:
                line = u"$" + number + u":ヒット１(自分)";
                break;
        }
        bytes += encoding == Encoding::Cp932 ? kiv::ToAnsi(line) : kiv::ToUtf8(line);
        bytes += "\r\n";
    }
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace

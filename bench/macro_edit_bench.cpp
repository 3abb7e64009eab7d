// One change written into a large macro file, against copying that file: a
// plain copy (the least the system does) and a safe copy (read, write to a
// temporary file, flush to disk, rename: the way the tool writes every file).
// The change must cost at most 1.5 times a copy and hold at most two copies of
// the file in memory.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "macro/macro_file_edit.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/file_system.h"
#include "platform/utf8.h"

// Heap use, so that the change's peak can be told against the file's size.
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

// A million macros of mixed Japanese and ASCII, as players write them.
std::filesystem::path MakeLargeMacroFile(Encoding encoding) {
    auto path = std::filesystem::temp_directory_path() / (encoding == Encoding::Cp932
                                                              ? "kivmacro-edit-bench-cp932.txt"
                                                              : "kivmacro-edit-bench-utf8.txt");
    std::string bytes;
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

double SecondsOf(const auto& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration copies the file both ways and makes the change (then undoes
// it, untimed), so that all three meet the same disk at the same moment.
void BM_ReplaceInTheMiddle(benchmark::State& state, Encoding encoding) {
    const auto path = MakeLargeMacroFile(encoding);
    const auto copy = std::filesystem::path(path).replace_extension(".copy");
    const std::size_t size = std::filesystem::file_size(path);
    kiv::MacroList shown;
    shown.SetFileName(path.u16string());
    shown.LoadData();
    const std::size_t middle = shown.Count() / 2 + 3;  // a Japanese line
    const kiv::MacroChange change{kiv::MacroChange::Kind::Replace, middle,
                                  kiv::Macro(u"表示を直しました\\n<now>", u"表示 (直し)")};
    kiv::MacroFileEditor editor(path.u16string());
    double plain = 0;
    double safe = 0;
    double edit = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        plain += SecondsOf([&] {
            std::filesystem::copy_file(path, copy,
                                       std::filesystem::copy_options::overwrite_existing);
        });
        safe += SecondsOf([&] {
            kiv::ReplaceFileWithContents(copy.u16string(), kiv::ReadFileBytes(path.u16string()));
        });
        const std::size_t before = heapNow.load();
        heapPeak = before;
        state.ResumeTiming();

        edit += SecondsOf([&] {
            if (editor.Apply(change, shown).status !=
                kiv::MacroFileEditor::Result::Status::Written) {
                state.SkipWithError("the change was not written");
            }
        });

        state.PauseTiming();
        peak = std::max(peak, heapPeak.load() - before);
        editor.Undo();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["plain_copy_ms"] = plain * 1000 / static_cast<double>(state.iterations());
    state.counters["safe_copy_ms"] = safe * 1000 / static_cast<double>(state.iterations());
    state.counters["x_plain_copy"] = edit / plain;
    state.counters["x_safe_copy"] = edit / safe;
    state.counters["peak_heap_per_file_byte"] =
        static_cast<double>(peak) / static_cast<double>(size);
    std::filesystem::remove(path);
    std::filesystem::remove(copy);
}
BENCHMARK_CAPTURE(BM_ReplaceInTheMiddle, cp932, Encoding::Cp932)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReplaceInTheMiddle, utf8, Encoding::Utf8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

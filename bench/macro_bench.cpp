// Macro file loading against the least any reader must do (read the bytes and
// convert them in one call), and the preparation of a message's lines.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>

#include "macro/line_preparation.h"
#include "macro/macro_list.h"
#include "platform/ansi_text.h"
#include "platform/utf8.h"

// Heap use, so a benchmark can report its peak against the file size.
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

// A million macros of mixed Japanese and ASCII, about 40 MB in CP932 (as
// files always were) or 50 MB in UTF-8 (as Notepad saves them today).
const std::filesystem::path& LargeMacroFile(Encoding encoding) {
    static const auto make = [](Encoding which) {
        const char* name =
            which == Encoding::Cp932 ? "kivmacro-bench-cp932.txt" : "kivmacro-bench-utf8.txt";
        auto file = std::filesystem::temp_directory_path() / name;
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
            bytes += which == Encoding::Cp932 ? kiv::ToAnsi(line) : kiv::ToUtf8(line);
            bytes += "\r\n";
        }
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    };
    static const std::filesystem::path cp932 = make(Encoding::Cp932);
    static const std::filesystem::path utf8 = make(Encoding::Utf8);
    static const struct Cleanup {
        ~Cleanup() {
            std::filesystem::remove(cp932);
            std::filesystem::remove(utf8);
        }
    } cleanup;
    return encoding == Encoding::Cp932 ? cp932 : utf8;
}

void ReportThroughput(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// The least any reader must do: read the bytes and convert them in one call.
void BM_ReadAndConvertInOneCall(benchmark::State& state, Encoding encoding) {
    const auto& path = LargeMacroFile(encoding);
    const std::size_t size = std::filesystem::file_size(path);
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(size, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        std::u16string text =
            encoding == Encoding::Cp932 ? kiv::FromAnsi(bytes) : kiv::FromUtf8(bytes);
        benchmark::DoNotOptimize(text.data());
    }
    ReportThroughput(state, size);
}
BENCHMARK_CAPTURE(BM_ReadAndConvertInOneCall, cp932, Encoding::Cp932)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndConvertInOneCall, utf8, Encoding::Utf8)->Unit(benchmark::kMillisecond);

void BM_LoadMacroFile(benchmark::State& state, Encoding encoding) {
    const auto& path = LargeMacroFile(encoding);
    const std::size_t size = std::filesystem::file_size(path);
    std::size_t peak = 0;
    for (auto _ : state) {
        kiv::MacroList list;
        list.SetFileName(path.u16string());
        const std::size_t before = heapNow.load();
        heapPeak = before;
        list.LoadData();
        peak = std::max(peak, heapPeak.load() - before);
        benchmark::DoNotOptimize(list.Count());
    }
    ReportThroughput(state, size);
    state.counters["peak_heap_per_file_byte"] =
        static_cast<double>(peak) / static_cast<double>(size);
}
BENCHMARK_CAPTURE(BM_LoadMacroFile, cp932, Encoding::Cp932)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadMacroFile, utf8, Encoding::Utf8)->Unit(benchmark::kMillisecond);

void BM_PrepareThreeLinesWithNow(benchmark::State& state) {
    const kiv::Clock clock = [] { return kiv::TimeOfDay{12, 34, 56}; };
    const std::u16string message = u"回復お願いします\\n<now>\\nよろしく";
    for (auto _ : state) {
        auto lines = kiv::PrepareLines(message, clock);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_PrepareThreeLinesWithNow);

}  // namespace

BENCHMARK_MAIN();

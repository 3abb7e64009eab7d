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

#include "large_macro_file.h"

namespace {

// Made once for all the benchmarks, removed at the end.
const std::filesystem::path& LargeMacroFile(Encoding encoding) {
    static const auto make = [](Encoding which) {
        return WriteLargeMacroFile(which, which == Encoding::Cp932 ? "kivmacro-bench-cp932.txt"
                                                                   : "kivmacro-bench-utf8.txt");
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
    kiv::FillContext clock{[] { return kiv::TimeOfDay{12, 34, 56}; }};
    const std::u16string message = u"回復お願いします\\n<now>\\nよろしく";
    for (auto _ : state) {
        auto lines = kiv::PrepareLines(message, clock);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_PrepareThreeLinesWithNow);

// Every token filled in: what a saying or a preview of such a macro costs.
void BM_FillThreeLinesWithTokens(benchmark::State& state) {
    kiv::FillContext context{
        .clock =
            [] {
                return kiv::TimeOfDay{12, 34, 56};
            },
        .today = [] { return 20798; },
        .clipboard = [] { return std::u16string(u"コピー\r\n二行目"); },
        .count = [] { return std::uint64_t{41}; },
        .variable = [](std::u16string_view) { return std::optional<std::u16string>(u"ゆうしゃ"); },
        .choose = [](std::size_t choices) { return choices - 1; },
        .answers = {{u"誰に?", u"ともだち"}},
    };
    const std::u16string message =
        u"<date> <time> #<count> <rand:右|左|上> <相手>\\n<wait.1><clip> <lt>now>\\n<ask:誰に?>へ";
    for (auto _ : state) {
        kiv::FillContext saying = context;
        auto lines = kiv::PrepareLines(message, saying);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_FillThreeLinesWithTokens);

}  // namespace

BENCHMARK_MAIN();

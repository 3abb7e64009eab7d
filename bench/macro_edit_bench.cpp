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

#include "large_macro_file.h"

namespace {

std::filesystem::path MakeLargeMacroFile(Encoding encoding) {
    return WriteLargeMacroFile(encoding, encoding == Encoding::Cp932
                                             ? "kivmacro-edit-bench-cp932.txt"
                                             : "kivmacro-edit-bench-utf8.txt");
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
    ->Iterations(10)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReplaceInTheMiddle, utf8, Encoding::Utf8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

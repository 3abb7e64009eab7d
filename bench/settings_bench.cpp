// The settings store on a large file (1,000 sections of 20 keys, about 1 MB)
// against reading and writing the same file once with plain file I/O.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/profile_sections.h"
#include "settings/ini_file.h"

namespace {

const std::filesystem::path& SettingsFile() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() / "kivmacro-bench-settings.ini";
        std::string text;
        for (int s = 0; s < 1000; ++s) {
            text += "[Section" + std::to_string(s) + "]\r\n";
            for (int k = 0; k < 20; ++k) {
                text += "Key" + std::to_string(k) + "=value of key " + std::to_string(k) +
                        " in section " + std::to_string(s) + " \x95\x5c\x8e\xa6\r\n";
            }
        }
        std::ofstream(file, std::ios::binary)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        static const struct Cleanup {
            std::filesystem::path file;
            ~Cleanup() { std::filesystem::remove(file); }
        } cleanup{file};
        return file;
    }();
    return path;
}

void BM_PlainReadAndWrite(benchmark::State& state) {
    const auto& path = SettingsFile();
    const auto copy = path.string() + ".copy";
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(copy, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::remove(copy);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_PlainReadAndWrite)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
    const auto& path = SettingsFile();
    for (auto _ : state) {
        kiv::PortableProfileSections profile;  // nothing cached from the last round
        kiv::IniFile store(profile);
        store.Load(path.u16string());
        benchmark::DoNotOptimize(store.Sections().size());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_SaveEverySection(benchmark::State& state) {
    const auto& path = SettingsFile();
    const auto target = path.string() + ".saved";
    kiv::PortableProfileSections profile;
    kiv::IniFile store(profile);
    store.Load(path.u16string());
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(path, target, std::filesystem::copy_options::overwrite_existing);
        kiv::IniFile copy(profile);
        copy.Load(std::filesystem::path(target).u16string());
        state.ResumeTiming();
        benchmark::DoNotOptimize(copy.Save(u""));
    }
    std::filesystem::remove(target);
}
BENCHMARK(BM_SaveEverySection)->Unit(benchmark::kMillisecond);

}  // namespace

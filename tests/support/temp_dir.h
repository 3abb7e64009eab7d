#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace kiv::test {

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() { std::filesystem::create_directories(path_); }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path Path(const std::string& name) const { return path_ / name; }
    std::u16string File(const std::string& name) const { return Path(name).u16string(); }
    const std::filesystem::path& Root() const { return path_; }

  private:
    std::random_device seed_;
    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("kivmacro-test-" + std::to_string(seed_()) + std::to_string(seed_()));
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace kiv::test

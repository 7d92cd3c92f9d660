// Reading and writing one key of a Config.ini of 1000 keys, beside a plain read
// of the same file and a plain atomic replace of the same bytes (written
// beside, flushed, renamed over it): each call reads and parses the whole
// file, and each write replaces the file atomically.
#include "platform/system/files.h"
#include "platform/system/profile.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int KeyCount = 1000;

class ConfigFile {
public:
    ConfigFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zem-bench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        path_ = (folder_ / "Config.ini").string();
        std::ofstream out(path_, std::ios::binary);
        out << "[form]\r\n";
        for (int index = 0; index < KeyCount; ++index) {
            out << "key" << index << "=value number " << index << "\r\n";
        }
    }
    ~ConfigFile() { std::filesystem::remove_all(folder_); }
    const std::string& Path() const { return path_; }

private:
    std::filesystem::path folder_;
    std::string path_;
};

void BM_GetPrivateProfileString(benchmark::State& state) {
    ConfigFile file;
    char buffer[32767];
    int index = 0;
    for (auto _ : state) {
        const std::string key = "key" + std::to_string(index++ % KeyCount);
        benchmark::DoNotOptimize(GetPrivateProfileStringA("FORM", key.c_str(), "", buffer,
                                                          sizeof buffer, file.Path().c_str()));
    }
}
BENCHMARK(BM_GetPrivateProfileString);

void BM_WritePrivateProfileString(benchmark::State& state) {
    ConfigFile file;
    int index = 0;
    for (auto _ : state) {
        const std::string key = "key" + std::to_string(index % KeyCount);
        const std::string value = "changed " + std::to_string(index++);
        benchmark::DoNotOptimize(
            WritePrivateProfileStringA("form", key.c_str(), value.c_str(), file.Path().c_str()));
    }
}
BENCHMARK(BM_WritePrivateProfileString);

void BM_PlainFileRead(benchmark::State& state) {
    ConfigFile file;
    std::error_code error;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zem::platform::ReadFileBytes(file.Path(), error));
    }
}
BENCHMARK(BM_PlainFileRead);

void BM_PlainAtomicReplace(benchmark::State& state) {
    ConfigFile file;
    std::error_code error;
    const std::string bytes = *zem::platform::ReadFileBytes(file.Path(), error);
    const std::string beside = file.Path() + ".new";
    for (auto _ : state) {
        const int descriptor = open(beside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        fsync(descriptor);
        close(descriptor);
        benchmark::DoNotOptimize(written && rename(beside.c_str(), file.Path().c_str()) == 0);
    }
}
BENCHMARK(BM_PlainAtomicReplace);

}  // namespace

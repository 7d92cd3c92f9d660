// Replays a fuzz target's kept inputs in the ordinary test suite: every seed
// of corpus/<name> and every input a fuzzer once crashed on, kept in
// regressions/<name>. The target's own checks abort on a broken rule, and the
// sanitizers of the asan preset stop at any fault, so a fault that returns
// fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// One suite per target (fuzz_<name>), so that ctest names them apart.
#define ZEM_REPLAY_TEST(suite) TEST(suite, EveryKeptInputRunsClean)

ZEM_REPLAY_TEST(ZEM_FUZZ_SUITE) {
    int replayed = 0;
    for (const char* folder : {"corpus", "regressions"}) {
        const std::filesystem::path path = std::filesystem::path(ZEM_FUZZ_SOURCE) / folder / ZEM_FUZZ_TARGET;
        if (!std::filesystem::is_directory(path)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            std::fprintf(stderr, "replaying %s\n", entry.path().c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0) << "the target has seeds";
}

}  // namespace

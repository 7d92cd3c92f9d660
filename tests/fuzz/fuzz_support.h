// What the fuzz targets share: a folder of their own for the files they write,
// removed when the run ends, and a check that stops the run on a broken rule.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zem::fuzz {

class ScratchFolder {
public:
    static const ScratchFolder& Get() {
        static ScratchFolder folder;
        return folder;
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zem-fuzz-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path path_;
};

// A rule of the code under test that the input broke: a finding like a crash.
inline void Require(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "broken rule: %s\n", rule);
    std::abort();
}

// The text up to its first NUL, as an "A" function sees it.
inline std::string UpToNul(std::string text) { return text.substr(0, text.find('\0')); }

}  // namespace zem::fuzz

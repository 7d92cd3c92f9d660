// Profile strings: reads of a key and of both name lists into buffers of every
// size (exactly that size on the heap, so a byte past it is caught), and a
// write read back.
#include "fuzz_support.h"
#include "platform/base/text.h"
#include "platform/system/profile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace {

using zem::fuzz::Require;
using zem::fuzz::UpToNul;

bool Plain(const std::string& name) { return zem::platform::TrimBlanks(name) == name; }

std::string ReadBack(const char* section, const char* key, const std::string& path) {
    std::vector<char> buffer(4096);
    const DWORD length = GetPrivateProfileStringA(section, key, "", buffer.data(), 4096, path.c_str());
    return std::string(buffer.data(), length);
}

void CheckRead(const char* section, const char* key, DWORD size, const std::string& path) {
    std::vector<char> buffer(size, 'x');
    const DWORD length = GetPrivateProfileStringA(section, key, "default", buffer.data(), size, path.c_str());
    Require(length < size, "a read returns fewer bytes than its buffer");
    Require(buffer[length] == '\0', "a read ends with NUL");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = UpToNul(input.ConsumeRandomLengthString(24));
    const std::string key = UpToNul(input.ConsumeRandomLengthString(24));
    const std::string value = UpToNul(input.ConsumeRandomLengthString(48));
    const DWORD bufferSize = input.ConsumeIntegralInRange<DWORD>(1, 80);
    const std::string file = input.ConsumeRemainingBytesAsString();
    const std::string path = zem::fuzz::ScratchFolder::Get().File("profile.ini");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(file.data(), static_cast<std::streamsize>(file.size()));

    CheckRead(section.c_str(), key.c_str(), bufferSize, path);
    CheckRead(section.c_str(), nullptr, bufferSize, path);
    CheckRead(nullptr, nullptr, bufferSize, path);

    if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str())) {
        const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
        if (Plain(section) && Plain(key) && Plain(value) && !quoted)
            Require(ReadBack(section.c_str(), key.c_str(), path) == value, "a written value reads back");
        // A delete removes the key the reads find (the first of repeated ones).
        Require(WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path.c_str()), "a written key can be deleted");
    }
    return 0;
}

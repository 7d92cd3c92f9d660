// Text files line by line: the splitter on arbitrary bytes, and a file written
// from lines read back as the same lines.
#include "fuzz_support.h"
#include "platform/base/text.h"
#include "platform/system/files.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <fstream>

namespace {
using zem::fuzz::Require;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = zem::platform::SplitTextLines(bytes);
    std::size_t total = 0;
    for (const std::string& line : lines) {
        Require(line.find('\r') == std::string::npos, "no line holds a CR");
        total += line.size();
    }
    Require(total <= size, "lines hold no more than the file");

    const std::string path = zem::fuzz::ScratchFolder::Get().File("lines.txt");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
    const auto read = zem::platform::ReadTextFileLines(path);
    Require(read.has_value() && read->size() == lines.size(), "a file reads as its lines");

    // Lines written as UTF-8 text come back whole when GBK holds them.
    std::string text;
    for (const std::string& line : *read) text += line + "\r\n";
    if (zem::platform::WriteTextFile(path, text)) {
        const auto again = zem::platform::ReadTextFileLines(path);
        Require(again.has_value(), "a written file reads");
        if (zem::platform::GbkToUtf8(zem::platform::Utf8ToGbk(text)) == text) Require(*again == *read, "written lines read back");
    }
    return 0;
}

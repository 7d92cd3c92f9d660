// GBK and UTF-8 conversion and the string operations, on arbitrary bytes:
// no crash, and the rules their callers lean on.
#include "fuzz_support.h"
#include "platform/base/text.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using namespace zem::platform;
using zem::fuzz::Require;

bool ValidUtf8(std::string_view text) {
    std::size_t index = 0;
    while (index < text.size()) {
        const auto lead = static_cast<unsigned char>(text[index]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                           : lead >= 0xF0 && lead < 0xF5                   ? 4
                                                                           : 0;
        if (length == 0 || index + length > text.size()) return false;
        for (std::size_t i = 1; i < length; ++i)
            if ((static_cast<unsigned char>(text[index + i]) & 0xC0) != 0x80) return false;
        index += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string sought = input.ConsumeRandomLengthString(8);
    const std::string replacement = input.ConsumeRandomLengthString(8);
    const std::size_t first = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string utf8 = GbkToUtf8(text);
    Require(ValidUtf8(utf8), "GBK decodes to valid UTF-8");
    const std::string gbk = Utf8ToGbk(text);
    Require(Utf8ToGbk(utf8).size() <= utf8.size() * 2, "GBK is at most twice as long");
    if (ValidUtf8(text)) Require(GbkToUtf8(gbk).size() <= text.size() * 3, "a round trip stays bounded");

    const std::size_t characters = CountCharacters(text);
    Require(characters <= text.size(), "a character takes at least one byte");
    const std::string_view part = SubstringCharacters(text, first, count);
    Require(part.empty() || (part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size()),
            "a substring lies inside its text");
    Require(CountCharacters(part) <= count, "a substring holds at most its count");
    Require(SubstringCharacters(text, 0).size() == text.size(), "all characters are the whole text");

    const std::string lowered = ToLower(text);
    Require(!ValidUtf8(text) || ValidUtf8(lowered), "lower case of valid UTF-8 is valid");
    const std::size_t found = FindText(text, sought, first);
    Require(found == std::string::npos || text.compare(found, sought.size(), sought) == 0, "a hit matches");
    const std::string replaced = ReplaceAll(text, sought, replacement);
    if (sought.empty()) Require(replaced == text, "an empty sought text changes nothing");
    if (sought == replacement) Require(replaced == text, "replacing a text by itself changes nothing");

    const auto fields = Split(text, sought);
    if (!text.empty() && !sought.empty()) {
        std::string joined;
        for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? sought : "") + fields[i];
        Require(joined == text, "split fields join back to the text");
    }
    const auto sign = [](int value) { return (value > 0) - (value < 0); };
    Require(sign(CompareOrdinal(text, sought)) == -sign(CompareOrdinal(sought, text)),
            "ordinal comparison is antisymmetric");
    Require(CompareOrdinal(text, text) == 0, "a text equals itself");
    (void)TextToBoolean(text);
    const std::string_view trimmed = TrimBlanks(text);
    Require(TrimBlanks(trimmed) == trimmed, "trimming twice changes nothing");
    return 0;
}

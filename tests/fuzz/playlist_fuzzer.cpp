// The play list loader: any file gives a list or none, and a list, once
// saved, is a file every XML reader reads (well-formed UTF-8 that holds only
// characters XML 1.0 allows, as themselves or as references) and that reads
// back as the same list, so a second save writes the same file.
#include "fuzz_support.h"
#include "player/playlist_file.h"
#include "platform/xml/xml_document.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using zem::fuzz::Require;

bool IsXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The code points of strict UTF-8, each the shortest form and no surrogate;
// false at the first byte that breaks it.
template <typename Each>
bool ForEachUtf8(std::string_view text, Each each) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xC0 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 0;
        if (length == 0 || at + length > text.size()) return false;
        std::uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[at + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = value << 6 | (next & 0x3F);
        }
        const std::uint32_t shortest = length == 1 ? 0 : length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (value < shortest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        if (!each(value)) return false;
        at += length;
    }
    return true;
}

// What a strict reader asks of the characters of a document: every one
// allowed, and every character reference naming one that is.
bool HoldsOnlyXmlCharacters(std::string_view xml) {
    if (!ForEachUtf8(xml, IsXmlChar)) return false;
    for (std::size_t at = xml.find("&#"); at != std::string_view::npos; at = xml.find("&#", at + 2)) {
        const bool hex = at + 2 < xml.size() && xml[at + 2] == 'x';
        const std::size_t digits = at + (hex ? 3 : 2);
        const std::size_t end = xml.find(';', digits);
        if (end == std::string_view::npos || end == digits || end - digits > 8) return false;
        const std::string number(xml.substr(digits, end - digits));
        char* stop = nullptr;
        const unsigned long value = std::strtoul(number.c_str(), &stop, hex ? 16 : 10);
        if (*stop != '\0' || !IsXmlChar(static_cast<std::uint32_t>(value))) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zem::platform::xml::XmlDocument document;
    if (!document.LoadXml(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    const auto groups = zem::player::ReadPlayList(document);
    if (!groups) return 0;
    const std::string saved = zem::player::PlayListDocument(*groups).Xml();
    Require(HoldsOnlyXmlCharacters(saved), "a saved list holds only characters XML allows");
    zem::platform::xml::XmlDocument reread;
    Require(reread.LoadXml(saved), "a saved list is well-formed");
    const auto again = zem::player::ReadPlayList(reread);
    Require(again.has_value() && again->size() == groups->size(), "a saved list reads back as its groups");
    Require(zem::player::PlayListDocument(*again).Xml() == saved, "a saved list, read and saved again, is the same file");
    return 0;
}

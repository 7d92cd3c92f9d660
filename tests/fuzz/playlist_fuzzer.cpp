// The play list loader: any file gives a list or none, and a list, once
// saved, reads back as the same list, so no name or address a page gives
// can change what the next start reads.
#include "fuzz_support.h"
#include "player/playlist_file.h"
#include "platform/xml/xml_document.h"

#include <string_view>

namespace {
using zem::fuzz::Require;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zem::platform::xml::XmlDocument document;
    if (!document.LoadXml(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    const auto groups = zem::player::ReadPlayList(document);
    if (!groups) return 0;
    zem::platform::xml::XmlDocument saved;
    Require(saved.LoadXml(zem::player::PlayListDocument(*groups).Xml()), "a saved list is well-formed");
    const auto again = zem::player::ReadPlayList(saved);
    Require(again.has_value() && *again == *groups, "a saved list reads back as itself");
    return 0;
}

// The adapter to the XML library: text to a tree of XmlNode and back.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/xml/xml_document.h"

namespace zem::platform::xml {

// The root element of well-formed XML text, or null. Neither direction
// recurses, so documents nested arbitrarily deep are safe.
std::unique_ptr<XmlNode> ParseXml(std::string_view text);
// The element as one line of XML, without a declaration.
std::string WriteXml(const XmlNode& root);

}  // namespace zem::platform::xml

#include "platform/xml/xml_text.h"

#include <pugixml.hpp>

#include <sstream>
#include <utility>
#include <vector>

namespace zem::platform::xml {

namespace {

// The length of the well-formed UTF-8 sequence at `at` (no overlong forms,
// no surrogates, nothing past U+10FFFF), or 0, and its code point.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, char32_t& value) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) {
        value = lead;
        return 1;
    }
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (length == 0 || at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    value = lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
        if (k > 1 && (byte(at + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(at + k) & 0x3F);
    }
    return length;
}

// Whether XML 1.0 can hold the character at all (as itself or as a reference).
bool IsXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The text as XML can hold it. Characters XML 1.0 allows nowhere, not even as
// references (NUL and the other controls but tab, LF and CR, U+FFFE, U+FFFF),
// are left out: they show nothing, so the name reads as it showed. Bytes that
// are not UTF-8 (a lone surrogate's encoding, an overlong form, a stray byte)
// become U+FFFD each, as the list draws them: they stood for some character,
// and the mark keeps that visible. The result is kept by a second pass
// unchanged, so a list saved, read and saved again writes the same file.
std::string XmlCharacters(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        char32_t c = 0;
        const std::size_t length = Utf8Sequence(text, at, c);
        if (length == 0) {
            kept += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        if (IsXmlCharacter(c)) kept.append(text.substr(at, length));
        at += length;
    }
    return kept;
}

// Copies the children of `source` under `target`, depth first, without recursion.
void CopyTree(pugi::xml_node source, XmlNode& target) {
    std::vector<std::pair<pugi::xml_node, XmlNode*>> pending{{source, &target}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        for (pugi::xml_node child = from.first_child(); child; child = child.next_sibling()) {
            switch (child.type()) {
                case pugi::node_element: {
                    XmlNode& element = to->AppendChild(XmlDocument::CreateElement(child.name()));
                    for (pugi::xml_attribute attribute : child.attributes())
                        element.SetAttribute(attribute.name(), attribute.value());
                    pending.emplace_back(child, &element);
                    break;
                }
                case pugi::node_pcdata:
                case pugi::node_cdata:
                    to->AppendChild(std::make_unique<XmlNode>(XmlNode::Kind::Text, child.value()));
                    break;
                default: break;
            }
        }
    }
}

void CopyTree(const XmlNode& source, pugi::xml_node target) {
    std::vector<std::pair<const XmlNode*, pugi::xml_node>> pending{{&source, target}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        for (const std::unique_ptr<XmlNode>& child : from->ChildNodes()) {
            if (!child->IsElement()) {
                to.append_child(pugi::node_pcdata).set_value(XmlCharacters(child->Text()).c_str());
                continue;
            }
            pugi::xml_node element = to.append_child(child->NodeName().c_str());
            for (const auto& [name, value] : child->Attributes())
                element.append_attribute(name.c_str()).set_value(XmlCharacters(value).c_str());
            pending.emplace_back(child.get(), element);
        }
    }
}

}  // namespace

std::unique_ptr<XmlNode> ParseXml(std::string_view text) {
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
    if (!result) return nullptr;
    pugi::xml_node root = document.document_element();
    if (!root) return nullptr;
    auto element = XmlDocument::CreateElement(root.name());
    for (pugi::xml_attribute attribute : root.attributes()) element->SetAttribute(attribute.name(), attribute.value());
    CopyTree(root, *element);
    return element;
}

std::string WriteXml(const XmlNode& root) {
    pugi::xml_document document;
    pugi::xml_node element = document.append_child(root.NodeName().c_str());
    for (const auto& [name, value] : root.Attributes())
        element.append_attribute(name.c_str()).set_value(XmlCharacters(value).c_str());
    CopyTree(root, element);
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

}  // namespace zem::platform::xml

#include "platform/xml/xml_text.h"

#include <pugixml.hpp>

#include <sstream>
#include <utility>
#include <vector>

namespace zem::platform::xml {

namespace {

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
                to.append_child(pugi::node_pcdata).set_value(child->Text().c_str());
                continue;
            }
            pugi::xml_node element = to.append_child(child->NodeName().c_str());
            for (const auto& [name, value] : child->Attributes())
                element.append_attribute(name.c_str()).set_value(value.c_str());
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
    for (const auto& [name, value] : root.Attributes()) element.append_attribute(name.c_str()).set_value(value.c_str());
    CopyTree(root, element);
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

}  // namespace zem::platform::xml

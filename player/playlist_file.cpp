#include "player/playlist_file.h"

#include <memory>

namespace zem::player {

using platform::xml::XmlDocument;
using platform::xml::XmlNode;

XmlDocument PlayListDocument(const std::vector<PlayListGroup>& groups) {
    XmlDocument document;
    std::unique_ptr<XmlNode> root = XmlDocument::CreateElement("playlist");
    for (const PlayListGroup& group : groups) {
        std::unique_ptr<XmlNode> list = XmlDocument::CreateElement("ul");
        std::unique_ptr<XmlNode> name = XmlDocument::CreateElement("Class");
        name->SetAttribute("Name", group.name);
        list->AppendChild(std::move(name));
        for (const PlayListEntry& entry : group.entries) {
            std::unique_ptr<XmlNode> item = XmlDocument::CreateElement("li");
            item->SetAttribute("Name", entry.name);
            item->SetAttribute("URL", entry.url);
            list->AppendChild(std::move(item));
        }
        root->AppendChild(std::move(list));
    }
    document.AppendChild(std::move(root));
    return document;
}

std::optional<std::vector<PlayListGroup>> ReadPlayList(const XmlDocument& document) {
    const XmlNode* root = document.SelectSingleNode("playlist");
    if (root == nullptr) return std::nullopt;
    std::vector<PlayListGroup> groups;
    for (const std::unique_ptr<XmlNode>& child : root->ChildNodes()) {
        if (!child->IsElement()) continue;
        PlayListGroup group;
        if (const XmlNode* name = child->SelectSingleNode("Class")) group.name = name->GetAttribute("Name").value_or("");
        for (const XmlNode* item : child->SelectNodes("li"))
            if (std::optional<std::string> url = item->GetAttribute("URL"))
                group.entries.push_back({item->GetAttribute("Name").value_or(""), std::move(*url)});
        groups.push_back(std::move(group));
    }
    return groups;
}

}  // namespace zem::player

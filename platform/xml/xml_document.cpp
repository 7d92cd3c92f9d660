#include "platform/xml/xml_document.h"

#include <system_error>

#include "platform/system/files.h"
#include "platform/xml/xml_text.h"

namespace zem::platform::xml {

XmlNode::XmlNode(Kind kind, std::string nameOrText) : kind_(kind) {
    if (kind == Kind::Element)
        name_ = std::move(nameOrText);
    else
        text_ = std::move(nameOrText);
}

XmlNode::~XmlNode() {
    std::vector<std::unique_ptr<XmlNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        for (std::unique_ptr<XmlNode>& child : node->children_) pending.push_back(std::move(child));
        node->children_.clear();
    }
}

const std::string& XmlNode::NodeName() const {
    static const std::string kTextName = "#text";
    return kind_ == Kind::Element ? name_ : kTextName;
}

const std::string& XmlNode::Text() const { return text_; }

std::optional<std::string> XmlNode::GetAttribute(std::string_view name) const {
    for (const auto& [key, value] : attributes_)
        if (key == name) return value;
    return std::nullopt;
}

void XmlNode::SetAttribute(std::string_view name, std::string value) {
    for (auto& [key, existing] : attributes_)
        if (key == name) {
            existing = std::move(value);
            return;
        }
    attributes_.emplace_back(std::string(name), std::move(value));
}

XmlNode& XmlNode::AppendChild(std::unique_ptr<XmlNode> child) {
    children_.push_back(std::move(child));
    return *children_.back();
}

const XmlNode* XmlNode::SelectSingleNode(std::string_view name) const {
    for (const std::unique_ptr<XmlNode>& child : children_)
        if (child->IsElement() && child->name_ == name) return child.get();
    return nullptr;
}

std::vector<const XmlNode*> XmlNode::SelectNodes(std::string_view name) const {
    std::vector<const XmlNode*> found;
    for (const std::unique_ptr<XmlNode>& child : children_)
        if (child->IsElement() && child->name_ == name) found.push_back(child.get());
    return found;
}

std::unique_ptr<XmlNode> XmlDocument::CreateElement(std::string name) {
    return std::make_unique<XmlNode>(XmlNode::Kind::Element, std::move(name));
}

XmlNode& XmlDocument::AppendChild(std::unique_ptr<XmlNode> root) {
    root_ = std::move(root);
    return *root_;
}

const XmlNode* XmlDocument::SelectSingleNode(std::string_view name) const {
    return root_ && root_->NodeName() == name ? root_.get() : nullptr;
}

LoadResult XmlDocument::Load(std::string_view path) {
    root_.reset();
    std::error_code error;
    const std::optional<std::string> bytes = ReadFileBytes(path, error);
    if (!bytes) return error == std::errc::no_such_file_or_directory ? LoadResult::Missing : LoadResult::Unreadable;
    return LoadXml(*bytes) ? LoadResult::Loaded : LoadResult::Malformed;
}

bool XmlDocument::LoadXml(std::string_view text) {
    root_ = ParseXml(text);
    return root_ != nullptr;
}

std::string XmlDocument::Xml() const { return root_ ? WriteXml(*root_) : std::string(); }

bool XmlDocument::Save(std::string_view path) const { return ReplaceFileAtomically(path, Xml()); }

}  // namespace zem::platform::xml

// The XML document object: a document with one root element, elements with
// ordered attributes and child nodes, and text; created, appended, selected
// by name, loaded from and saved to files. Text is UTF-8.
//
// Loading drops white space between elements, comments and processing
// instructions; what remains of an element's content is elements and text.
// Saving writes one line with no declaration (UTF-8, the XML default) and
// escapes attribute values and text as XML requires.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zem::platform::xml {

class XmlNode {
public:
    enum class Kind { Element, Text };

    XmlNode(Kind kind, std::string nameOrText);
    // Frees deep trees without recursion.
    ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    Kind NodeType() const { return kind_; }
    bool IsElement() const { return kind_ == Kind::Element; }
    // An element's tag name; "#text" for text.
    const std::string& NodeName() const;
    // A text node's text; "" for an element.
    const std::string& Text() const;

    // Attributes, in the order first set; setting one that exists replaces its value in place.
    std::optional<std::string> GetAttribute(std::string_view name) const;
    void SetAttribute(std::string_view name, std::string value);
    const std::vector<std::pair<std::string, std::string>>& Attributes() const { return attributes_; }

    // Appends the node as the last child and returns it.
    XmlNode& AppendChild(std::unique_ptr<XmlNode> child);
    const std::vector<std::unique_ptr<XmlNode>>& ChildNodes() const { return children_; }
    // The first child element of the name, or null.
    const XmlNode* SelectSingleNode(std::string_view name) const;
    // The child elements of the name, in document order.
    std::vector<const XmlNode*> SelectNodes(std::string_view name) const;

private:
    Kind kind_;
    std::string name_;
    std::string text_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<std::unique_ptr<XmlNode>> children_;
};

// How a load went: a missing file and an unreadable or malformed one are told apart,
// so that a caller can keep what it could not read.
enum class LoadResult { Loaded, Missing, Unreadable, Malformed };

class XmlDocument {
public:
    XmlDocument() = default;

    // A new element, not yet attached.
    static std::unique_ptr<XmlNode> CreateElement(std::string name);
    // Makes the element the document's root element (replacing any earlier one).
    XmlNode& AppendChild(std::unique_ptr<XmlNode> root);
    // The root element, or null for an empty document.
    const XmlNode* DocumentElement() const { return root_.get(); }
    // The root element when it bears the name, else null.
    const XmlNode* SelectSingleNode(std::string_view name) const;

    // Replaces the document with the file's; on any failure the document is empty.
    LoadResult Load(std::string_view path);
    // The same from text; false for text that is not well-formed XML.
    bool LoadXml(std::string_view text);
    // The document as one line with no declaration.
    std::string Xml() const;
    // Writes Xml() to the file atomically (beside it, then renamed over it):
    // false when it cannot be written, and the previous file is then whole.
    bool Save(std::string_view path) const;

private:
    std::unique_ptr<XmlNode> root_;
};

}  // namespace zem::platform::xml

// The play list file's document: groups with their entries, to and from
//   <playlist><ul><Class Name="group"/><li Name="entry" URL="address"/>...</ul>...</playlist>
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/xml/xml_document.h"

namespace zem::player {

struct PlayListEntry {
    std::string name;
    std::string url;
    bool operator==(const PlayListEntry&) const = default;
};

struct PlayListGroup {
    std::string name;
    std::vector<PlayListEntry> entries;
    bool operator==(const PlayListGroup&) const = default;
};

// The document of the groups, in their order: one "ul" per group holding its
// "Class" and then one "li" per entry.
platform::xml::XmlDocument PlayListDocument(const std::vector<PlayListGroup>& groups);

// The groups of a document, or nothing when its root is not "playlist".
// Every child element of the root is one group, in document order; text
// between them is passed over. A group without a "Class" (or a "Class"
// without "Name") keeps its entries under an empty name, so no entry is lost;
// an entry without "URL" cannot be played and is passed over, one without
// "Name" gets an empty name.
std::optional<std::vector<PlayListGroup>> ReadPlayList(const platform::xml::XmlDocument& document);

}  // namespace zem::player

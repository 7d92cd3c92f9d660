// The play list file "\zemskin\zemplaylist.xml" and playing from the list.
//
//   <playlist><ul><Class Name="group"/><li Name="entry" URL="address"/>...</ul>...</playlist>
//
// One line, no declaration. The list lives in SFPlayList1 between the load and
// the exit; the file is its saved copy.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "platform/forms/runtime_error.h"
#include "platform/system/files.h"
#include "platform/xml/xml_document.h"
#include "player/form1.h"
#include "shell/config_info.h"

using namespace zem::forms;
using zem::platform::xml::LoadResult;
using zem::platform::xml::XmlDocument;
using zem::platform::xml::XmlNode;

namespace {

// The error SavePlayList raises when the file cannot be written.
constexpr int errPathFileAccess = 75;

// A free name beside the file for a copy that could not be read:
// "zemplaylist.xml.unreadable", then ".unreadable.1", ".2"...
std::filesystem::path AsideName(const std::filesystem::path& file) {
    std::filesystem::path aside = file;
    aside += ".unreadable";
    std::error_code error;
    for (int number = 1; std::filesystem::exists(aside, error); ++number) {
        aside = file;
        aside += ".unreadable." + std::to_string(number);
    }
    return aside;
}

}  // namespace

void Form1::SavePlayList(const std::string& strXML) {
    XmlDocument document;
    std::unique_ptr<XmlNode> root = XmlDocument::CreateElement("playlist");
    for (std::int32_t i = 0; i < SFPlayList1.NodesCount(); ++i) {
        std::unique_ptr<XmlNode> group = XmlDocument::CreateElement("ul");
        std::unique_ptr<XmlNode> name = XmlDocument::CreateElement("Class");
        name->SetAttribute("Name", SFPlayList1.NodeText(i));
        group->AppendChild(std::move(name));
        for (std::int32_t j = 0; j < SFPlayList1.ItemsCount(i); ++j) {
            std::unique_ptr<XmlNode> entry = XmlDocument::CreateElement("li");
            entry->SetAttribute("Name", SFPlayList1.ItemName(i, j));
            entry->SetAttribute("URL", SFPlayList1.ItemURL(i, j));
            group->AppendChild(std::move(entry));
        }
        root->AppendChild(std::move(group));
    }
    document.AppendChild(std::move(root));

    // A file the load could not read is kept beside under another name before
    // this save replaces it, so nothing the user had is lost silently.
    if (!unreadablePlayList_.empty() && unreadablePlayList_ == strXML) {
        const std::filesystem::path file(zem::platform::ToPosixPath(strXML));
        std::error_code error;
        if (std::filesystem::exists(file, error)) {
            const std::filesystem::path aside = AsideName(file);
            std::filesystem::rename(file, aside, error);
            if (error)
                throw RuntimeError(errPathFileAccess, "the unreadable play list " + file.string() +
                                                          " could not be kept beside: " + error.message());
            std::cerr << "zemplayer: the unreadable play list was kept as " << aside.string() << '\n';
        }
        unreadablePlayList_.clear();
    }
    // Written beside the file and renamed over it: a failed save leaves the previous file whole.
    if (!document.Save(strXML)) throw RuntimeError(errPathFileAccess, "the play list could not be saved to " + strXML);
}

// Every child element of the root is one group, in document order; text
// between them is passed over. A group without a "Class" (or one without a
// "Name") keeps its entries under an empty name, so no entry is lost; an entry
// without "URL" cannot be played and is passed over, one without "Name" gets
// an empty name.
void Form1::LoadPlayList(const std::string& path) {
    XmlDocument document;
    const LoadResult result = document.Load(path);
    const XmlNode* root = document.SelectSingleNode("playlist");
    if (root == nullptr) {
        // An empty file holds nothing to keep; anything else that exists but
        // gave no play list is kept beside at the next save.
        std::error_code error;
        const bool empty = std::filesystem::is_regular_file(zem::platform::ToPosixPath(path), error) &&
                           std::filesystem::file_size(zem::platform::ToPosixPath(path), error) == 0;
        if (result != LoadResult::Missing && !empty) {
            unreadablePlayList_ = path;
            std::cerr << "zemplayer: the play list " << path << " could not be read; it is kept at the next save\n";
        }
        return;
    }
    for (const std::unique_ptr<XmlNode>& child : root->ChildNodes()) {
        if (!child->IsElement()) continue;
        const XmlNode* name = child->SelectSingleNode("Class");
        SFPlayList1.AddNode(name != nullptr ? name->GetAttribute("Name").value_or("") : "");
        const std::int32_t group = SFPlayList1.NodesCount() - 1;
        for (const XmlNode* entry : child->SelectNodes("li")) {
            const std::optional<std::string> url = entry->GetAttribute("URL");
            if (url) SFPlayList1.AddItem(group, entry->GetAttribute("Name").value_or(""), *url);
        }
    }
}

// A left press on an entry plays it in the player page.
void Form1::SFPlayList1_MouseDown(std::int16_t) {
    配置信息::KillPlayerHelpers();
    // The same start as a play request's: the overlay shows only with a countdown that runs.
    广告倒计时();
    W3.Navigate(SFPlayList1.ItemURL(SFPlayList1.SelNodeIndex(), SFPlayList1.SelItemIndex()));
    W3.SetVisible(true);
    SetMousePointer(vbDefault);
}

void Form1::SFPlayList1_MouseUp(std::int16_t) { SetMousePointer(vbDefault); }

void Form1::SFPlayList1_MouseMove(std::int16_t&, std::int16_t&, float&, float&) { SetMousePointer(vbDefault); }

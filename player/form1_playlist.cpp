// The play list file "\zemskin\zemplaylist.xml" (its document in
// playlist_file.h) and playing from the list. The list lives in SFPlayList1
// between the load and the exit; the file is its saved copy.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "platform/forms/runtime_error.h"
#include "platform/system/files.h"
#include "platform/xml/xml_document.h"
#include "player/form1.h"
#include "player/playlist_file.h"
#include "shell/config_info.h"

using namespace zem::forms;
using zem::platform::xml::LoadResult;
using zem::platform::xml::XmlDocument;

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
    std::vector<zem::player::PlayListGroup> groups;
    for (std::int32_t i = 0; i < SFPlayList1.NodesCount(); ++i) {
        zem::player::PlayListGroup& group = groups.emplace_back();
        group.name = SFPlayList1.NodeText(i);
        for (std::int32_t j = 0; j < SFPlayList1.ItemsCount(i); ++j)
            group.entries.push_back({SFPlayList1.ItemName(i, j), SFPlayList1.ItemURL(i, j)});
    }
    const XmlDocument document = zem::player::PlayListDocument(groups);

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

void Form1::LoadPlayList(const std::string& path) {
    playListRead_ = true;
    XmlDocument document;
    const LoadResult result = document.Load(path);
    const std::optional<std::vector<zem::player::PlayListGroup>> groups = zem::player::ReadPlayList(document);
    if (!groups) {
        // An empty file holds nothing to keep; anything else that exists but
        // gave no play list is kept beside at the next save.
        std::error_code error;
        const std::string file = zem::platform::ToPosixPath(path);
        const bool empty =
            std::filesystem::is_regular_file(file, error) && std::filesystem::file_size(file, error) == 0;
        if (result != LoadResult::Missing && !empty) {
            unreadablePlayList_ = path;
            std::cerr << "zemplayer: the play list " << path << " could not be read; it is kept at the next save\n";
        }
        return;
    }
    for (const zem::player::PlayListGroup& group : *groups) {
        SFPlayList1.AddNode(group.name);
        const std::int32_t index = SFPlayList1.NodesCount() - 1;
        for (const zem::player::PlayListEntry& entry : group.entries) SFPlayList1.AddItem(index, entry.name, entry.url);
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

// Form1's web views and the URL-scheme protocol of their pages: the start
// pages, the four BeforeNavigate2 handlers, the new windows of W2, the
// channel page's body, silence at every download and the page menu.
//
// A handler whose view has no HTML document, or whose page property cannot be
// read (the runtime's error 91), skips the rest of that handler and the player
// goes on: a page that went away under a click must never end the player.
#include <memory>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/forms/runtime_error.h"
#include "platform/forms/web_browser.h"
#include "platform/network/content_server.h"
#include "player/form1.h"
#include "player/play_schemes.h"
#include "shell/config_info.h"
#include "windows/form2.h"
#include "windows/yijian.h"

using namespace zem::forms;
using zem::player::ConvertPlayUrl;
using zem::player::HasScheme;
namespace schemes = zem::player;

namespace {

namespace server = zem::content_server;

// Runs the rest of a handler; an unreadable page (no document, a property
// that cannot be read) ends it quietly.
template <class Steps>
void SkipRestOnError(Steps&& steps) {
    try {
        steps();
    } catch (const RuntimeError&) {
    }
}

// The guest book, modeless, owned by the main window; a second "gbook://"
// while it is open brings it forward.
void ShowGuestBook(Form1& form) { FormInstance<yijian>::Get().Show(vbModeless, &form); }

// The base address: the caption of the hidden label dizhi.
std::string BaseAddress(const Form1& form) { return form.dizhi.Caption(); }

// The play request of ListWeb and W2: the page's navigation is cancelled and
// the request, turned into an address on the content server, opens in the
// player page.
void PlayRequest(Form1& form, const std::string& URL, bool& Cancel) {
    Cancel = true;
    const std::string target = ConvertPlayUrl(URL, BaseAddress(form));
    配置信息::KillPlayerHelpers();
    form.广告倒计时();
    form.W3.Navigate(target);
    form.W3.SetVisible(true);
    form.Button2_Click(0);
}

// Keeps a visible control from painting while it lives (its window is hidden
// and shown again, so it paints once when it shows).
class PaintingPaused {
public:
    explicit PaintingPaused(Control& control) : control_(control), wasVisible_(control.Visible()) {
        if (wasVisible_) control_.SetVisible(false);
    }
    ~PaintingPaused() {
        if (wasVisible_) control_.SetVisible(true);
    }
    PaintingPaused(const PaintingPaused&) = delete;
    PaintingPaused& operator=(const PaintingPaused&) = delete;

private:
    Control& control_;
    bool wasVisible_;
};

// The links of the page that holds the clicked play link (its navigation was
// cancelled, so the view still shows it) become one group of the play list,
// named by the page's title, once per title.
void AddPageGroup(Form1& form, WebBrowser& view, const std::string& URL) {
    // The address first: finding the document is already a read of the page,
    // which a page whose script never ends holds for the read's whole bound,
    // and the views navigate far more often than they play.
    if (!form.IsPlayUrl(URL)) return;
    const std::shared_ptr<HtmlDocument> document = view.Document();
    if (document == nullptr) return;
    const std::string name = document->title();
    SFPlayList& list = form.SFPlayList1;
    if (list.IsNodeExist(name)) return;
    // Every anchor is read before the group is added, so a page that cannot
    // answer leaves no empty group behind.
    const std::vector<HtmlAnchor> anchors = document->getElementsByTagName("a");
    list.AddNode(name);
    const std::string scheme = form.GetPlayScheme(URL);
    const std::int32_t node = list.NodesCount() - 1;
    // The list repaints itself at every entry; a page of many thousand links
    // would keep the window busy for seconds. It draws once, at the end.
    const PaintingPaused paused(list);
    for (const HtmlAnchor& anchor : anchors) {
        // The address as the page wrote it, compared case-sensitively.
        if (anchor.href.find(scheme) == std::string::npos) continue;
        list.AddItem(node, anchor.innerText, ConvertPlayUrl(anchor.href, BaseAddress(form)));
    }
}

}  // namespace

bool Form1::IsPlayUrl(const std::string& url) const { return zem::player::IsPlayUrl(url); }

std::string Form1::GetPlayScheme(const std::string& url) const { return zem::player::GetPlayScheme(url); }

void Form1::ListWeb_BeforeNavigate2(WebBrowserObject& /*pDisp*/, const std::string& URL, long /*Flags*/,
                                    const std::string& /*TargetFrameName*/, const std::string& /*PostData*/,
                                    const std::string& /*Headers*/, bool& Cancel) {
    SkipRestOnError([&] {
        if (HasScheme(URL, schemes::GbookScheme)) {
            Cancel = true;
            ShowGuestBook(*this);
        }
        if (IsPlayUrl(URL)) PlayRequest(*this, URL, Cancel);
        AddPageGroup(*this, ListWeb, URL);
    });
}

void Form1::W2_BeforeNavigate2(WebBrowserObject& /*pDisp*/, const std::string& URL, long /*Flags*/,
                               const std::string& /*TargetFrameName*/, const std::string& /*PostData*/,
                               const std::string& /*Headers*/, bool& Cancel) {
    SkipRestOnError([&] {
        if (HasScheme(URL, schemes::CloseScheme)) {
            Cancel = true;
            W3.SetVisible(false);
            配置信息::KillPlayerHelpers();
        }
        if (HasScheme(URL, schemes::EndScheme)) {
            Cancel = true;
            W2.SetVisible(false);
        }
        if (HasScheme(URL, schemes::GbookScheme)) {
            Cancel = true;
            ShowGuestBook(*this);
        }
        if (IsPlayUrl(URL)) PlayRequest(*this, URL, Cancel);
        AddPageGroup(*this, W2, URL);
    });
}

void Form1::PlayWeb_BeforeNavigate2(WebBrowserObject& /*pDisp*/, const std::string& URL, long /*Flags*/,
                                    const std::string& /*TargetFrameName*/, const std::string& /*PostData*/,
                                    const std::string& /*Headers*/, bool& Cancel) {
    SkipRestOnError([&] {
        if (HasScheme(URL, schemes::CloseScheme)) {
            Cancel = true;
            W3.SetVisible(false);
            配置信息::KillPlayerHelpers();
        }
        if (HasScheme(URL, schemes::ChannelPlayScheme)) {
            Cancel = true;
            // The received address, not lowered: only "play://" as written is replaced.
            const std::string target = zem::platform::ReplaceAll(URL, schemes::ChannelPlayScheme, BaseAddress(*this));
            Button2_Click(1);
            ListWeb.Navigate(target);
        }
    });
}

void Form1::W3_BeforeNavigate2(WebBrowserObject& /*pDisp*/, const std::string& URL, long /*Flags*/,
                               const std::string& /*TargetFrameName*/, const std::string& /*PostData*/,
                               const std::string& /*Headers*/, bool& Cancel) {
    SkipRestOnError([&] {
        if (!HasScheme(URL, schemes::CloseScheme)) return;
        Cancel = true;
        配置信息::KillPlayerHelpers();
        W3.SetVisible(false);
        PlayWeb.Navigate(server::Join(BaseAddress(*this), server::kChannelPagePath));
        ListWeb.Refresh();
    });
}

// The new windows of W2's pages open in the hidden tj, so none ever shows.
void Form1::W2_NewWindow2(WebBrowserObject*& ppDisp, bool& /*Cancel*/) {
    ppDisp = tj.Object();
    tj.SetVisible(false);
}

// The channel page shows no scroll bars and no border, in the top document,
// whichever document (the page or one of its frames) completed; each step
// that fails is skipped.
void Form1::PlayWeb_DocumentComplete(WebBrowserObject& /*pDisp*/, const std::string& /*URL*/) {
    const auto document = [this] {
        std::shared_ptr<HtmlDocument> top = PlayWeb.Document();
        if (top == nullptr) throw RuntimeError(errObjectNotSet);
        return top;
    };
    SkipOnError([&] { document()->SetBodyScroll("no"); });
    SkipOnError([&] { document()->SetBodyStyleBorder("0px"); });
}

// The page menu belongs to the library page, since its items act on ListWeb:
// at each completed document of ListWeb its top document becomes M_Dom, whose
// oncontextmenu pops up the page menu at the pointer and answers False, so
// the engine shows no menu of its own there. The other views keep the
// engine's menu.
void Form1::ListWeb_DocumentComplete(WebBrowserObject& /*pDisp*/, const std::string& /*URL*/) {
    SkipOnError([this] {
        M_Dom = ListWeb.Document();
        if (M_Dom == nullptr) return;
        M_Dom->SetOnContextMenu([this] { return M_Dom_oncontextmenu(); });
    });
}

bool Form1::M_Dom_oncontextmenu() {
    PopupMenu(FormInstance<Form2>::Get().MyMenu);
    return false;
}

void Form1::ListWeb_DownloadBegin() { ListWeb.SetSilent(true); }
void Form1::W2_DownloadBegin() { W2.SetSilent(true); }
void Form1::W3_DownloadBegin() { W3.SetSilent(true); }
void Form1::PlayWeb_DownloadBegin() { PlayWeb.SetSilent(true); }
void Form1::W4_DownloadBegin() { W4.SetSilent(true); }

// The start pages, once, 3000 ms after the load.
void Form1::T4_Timer() {
    T4.SetEnabled(false);
    ListWeb.Navigate(server::Join(BaseAddress(*this), server::kLibraryPagePath));
    qvod.Navigate(server::Join(BaseAddress(*this), server::kAdvertisementPagePath));
    PlayWeb.Navigate(server::Join(BaseAddress(*this), server::kChannelPagePath));
}

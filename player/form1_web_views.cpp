// The web views of the main window and the URL schemes of the content
// server's pages: play requests, the channel page's links, the guest book,
// closing the player page, the start pages and the new windows of the hidden view.
#include "player/form1.h"

using namespace zem::forms;

bool Form1::IsPlayUrl(const std::string&) const { return false; }

std::string Form1::GetPlayScheme(const std::string&) const { return {}; }

void Form1::ListWeb_BeforeNavigate2(WebBrowserObject&, const std::string&, long, const std::string&,
                                    const std::string&, const std::string&, bool&) {}

void Form1::PlayWeb_BeforeNavigate2(WebBrowserObject&, const std::string&, long, const std::string&,
                                    const std::string&, const std::string&, bool&) {}

void Form1::W3_BeforeNavigate2(WebBrowserObject&, const std::string&, long, const std::string&, const std::string&,
                               const std::string&, bool&) {}

void Form1::W2_BeforeNavigate2(WebBrowserObject&, const std::string&, long, const std::string&, const std::string&,
                               const std::string&, bool&) {}

void Form1::W2_NewWindow2(WebBrowserObject*&, bool&) {}

void Form1::PlayWeb_DocumentComplete(WebBrowserObject&, const std::string&) {}

void Form1::ListWeb_DownloadBegin() {}
void Form1::W2_DownloadBegin() {}
void Form1::W3_DownloadBegin() {}
void Form1::PlayWeb_DownloadBegin() {}
void Form1::W4_DownloadBegin() {}

void Form1::T4_Timer() {}

bool Form1::M_Dom_oncontextmenu() { return false; }

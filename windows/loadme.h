// loadme: the player's start-up window. It is never seen (fully transparent):
// it lets one instance run, probes reachability, fetches and saves the
// version text, offers an upgrade and then starts the updater or shows the
// main window, staying loaded and hidden for the life of the process.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/network/inet.h"

class loadme : public zem::forms::Form {
public:
    loadme();

    void Form_Load() override;

    // The installed and the server version.
    zem::forms::TextBox Text1{*this, "Text1"};
    zem::forms::TextBox Text2{*this, "Text2"};
    zem::platform::Inet Inet1;
    // One-shot steps of the start: fetch and save (100 ms), then the check (300 ms).
    zem::forms::Timer nolink{*this, "nolink"};
    zem::forms::Timer TmrLoad{*this, "TmrLoad"};

private:
    void nolink_Timer();
    void TmrLoad_Timer();
    bool StartUpdater();
};

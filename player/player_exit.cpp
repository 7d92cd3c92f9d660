#include "player/player_exit.h"

#include <exception>
#include <iostream>

#include "platform/base/end_signals.h"
#include "platform/forms/form.h"
#include "platform/system/files.h"
#include "player/form1.h"
#include "shell/config_info.h"
#include "shell/tray_icon.h"

namespace zem::player {

void ExitPlayer(Form1& main) {
    // A failed save keeps the previous file whole (it is replaced atomically).
    try {
        main.SavePlayList(platform::ProgramPath("\\zemskin\\zemplaylist.xml"));
    } catch (const std::exception& error) {
        std::cerr << "zemplayer: the play list was not saved: " << error.what() << '\n';
    }
    try {
        托盘气泡::RemoveTrayIcon(main);
    } catch (const std::exception& error) {
        std::cerr << "zemplayer: the tray icon was not removed: " << error.what() << '\n';
    }
    // Ending the players is one statement: it stops at the first image name
    // whose command cannot start, and that failure is skipped.
    try {
        配置信息::KillAllPlayers();
    } catch (const std::exception&) {
    }
}

void EndPlayerOnSignal(int signal) {
    if (forms::FormInstance<Form1>::Loaded()) {
        Form1& main = forms::FormInstance<Form1>::Get();
        if (main.PlayListRead()) ExitPlayer(main);
    }
    platform::EndAsBySignal(signal);
}

}  // namespace zem::player

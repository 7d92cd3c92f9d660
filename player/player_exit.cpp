#include "player/player_exit.h"

#include <exception>
#include <iostream>

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

}  // namespace zem::player

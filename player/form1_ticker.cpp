// Form1's link ticker: a line of the ticker file "link.txt", chosen at random
// about every 6 seconds (one tick of `gun`, then five of `gun2`), shown in
// Label2; a click opens the line's address with the desktop's handler.
#include <cmath>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/base/text.h"
#include "platform/forms/program.h"
#include "platform/forms/runtime_error.h"
#include "platform/shell/shell_execute.h"
#include "platform/system/files.h"
#include "player/form1.h"

using namespace zem::forms;

namespace {

constexpr const char* kTickerFile = "\\link.txt";
constexpr const char* kFieldSeparator = "###";
constexpr std::int16_t kPauseTicks = 5;

}  // namespace

// A choice.
void Form1::gun_Timer() {
    gun.SetEnabled(false);
    // No ticker file: the ticker stops for good and keeps its last line.
    if (zem::platform::Dir(zem::platform::ProgramPath(kTickerFile)).empty()) return;
    gun2.SetInterval(1000);
    gun2.SetEnabled(true);
    TickerDelay = kPauseTicks;
    // From here on failing statements are skipped. The file is read at every
    // choice, so a replaced file shows at once, but its lines are listed again
    // only when its bytes changed: a large file would otherwise hold the window
    // for a good part of a second every 6 seconds. A file that is there but
    // cannot be read counts as one without entries for this choice; the next
    // choice tries again.
    SkipOnError([this] {
        const std::string path = zem::platform::ProgramPath(kTickerFile);
        if (tickerBytesListed_ && zem::platform::FileHoldsBytes(path, *tickerBytesListed_)) return;
        std::error_code error;
        std::optional<std::string> bytes = zem::platform::ReadFileBytes(path, error);
        tickerBytesListed_.reset();
        List3.Clear();
        if (!bytes) return;
        for (const std::string& line : zem::platform::DecodeTextLines(*bytes)) {
            if (!line.empty()) List3.AddItem(line);
        }
        tickerBytesListed_ = std::move(bytes);
    });
    SkipOnError([this] {
        Randomize();
        const float random = Rnd();
        // In double precision, so that the index stays below the count however
        // long the list is.
        const auto index = static_cast<int>(std::floor(static_cast<double>(List3.ListCount()) * random));
        // The same line chosen again is not set again: a line of megabytes
        // would otherwise be converted for the text box's window every 6 s.
        std::string chosen = List3.List(index);
        if (chosen != Text3.Text()) Text3.SetText(std::move(chosen));
    });
    // A file without entries gives an empty Text3 (the list reads "" past its
    // end): the line on show and its address stay as they were.
    const std::vector<std::string> fields = zem::platform::Split(Text3.Text(), kFieldSeparator);
    if (fields.empty()) return;
    if (fields[0] != Label2.Caption()) Label2.SetCaption(fields[0]);
    // A line without "###" shows whole and has no address: the text on show
    // and the address a click opens always come from the same line, never the
    // text of one and the address of the one before.
    TickerUrl = fields.size() > 1 ? fields[1] : std::string();
}

// The pause: five ticks, then the next choice. Once the count has reached 0
// it stays there: after a choice that found no file nothing re-arms it, and
// the count must not run on below 0 (and wrap) while the player keeps running.
void Form1::gun2_Timer() {
    if (TickerDelay <= 0) return;
    --TickerDelay;
    if (TickerDelay == 0) gun.SetEnabled(true);
}

void Form1::Label2_Click() { OpenUrl(TickerUrl); }

// The address goes to the desktop's handler. Only web addresses open; an empty
// one (no line chosen yet) opens nothing. The shell's answer is not used.
void Form1::OpenUrl(const std::string& url) {
    const std::string file = zem::platform::Utf8ToGbk(url);
    ShellExecuteA(hWnd(), "Open", file.c_str(), "0", "0", 0);
}

// The buffering countdown: an overlay over the player page that counts the
// seconds the server publishes down, while a play request loads.
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "platform/base/text.h"
#include "player/form1.h"

using namespace zem::forms;

namespace {

// The countdown's length: a whole number of seconds above 0 (blanks around it
// allowed). Anything else starts no countdown: the tick ends the countdown only
// on reaching 0 exactly, so a length of 0 or less, or one that is no number,
// would leave the overlay over the player page for good.
std::optional<std::int32_t> CountdownLength(const std::string& text) {
    const std::string_view digits = zem::platform::TrimBlanks(text);
    std::int32_t seconds = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || seconds <= 0)
        return std::nullopt;
    return seconds;
}

}  // namespace

void Form1::广告倒计时() {
    if (huangchong.Caption() != "1") return;
    const std::optional<std::int32_t> seconds = CountdownLength(da.Caption());
    if (!seconds) return;
    CountdownSeconds = *seconds;
    Timer8.SetInterval(1000);
    Timer8.SetEnabled(true);
    vip.SetVisible(true);
}

// Each statement is skipped when it fails; the tick goes on.
void Form1::Timer8_Timer() {
    SkipOnError([this] { CountdownSeconds -= 1; });
    SkipOnError([this] {
        // The seconds part only: minutes are not shown.
        const double count = CountdownSeconds;
        const double seconds = count - std::floor(count / 60) * 60;
        tip.SetCaption(" " + std::to_string(static_cast<long long>(seconds)) + " 秒");
    });
    SkipOnError([this] {
        if (CountdownSeconds == 0) {
            vip.SetVisible(false);
            Timer8.SetEnabled(false);
        }
    });
}

void Form1::vip3_Resize() {
    Label5.SetLeft((vip3.ScaleWidth() - Label5.Width()) / 2);
    tip.SetLeft(Label5.Left() + 900);
}

// Form1's header: painting from the skin sprites, the window's region and
// frame lines, the labels over the drawn buttons, the caption buttons and the
// view tabs.
#include <algorithm>
#include <cmath>

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/network/content_server.h"
#include "platform/window/user32.h"
#include "player/form1.h"
#include "player/player_exit.h"
#include "shell/config_info.h"
#include "windows/form2.h"

using namespace zem::forms;

namespace {

constexpr int kButtonWidth = 30;
constexpr int kButtonHeight = 80;
constexpr int kTabWidth = 107;
constexpr int kTabHeight = 80;
constexpr int kTabSelected = 214;
constexpr int kTabHover = 107;
constexpr int kHover = 30;
constexpr int kPressed = 60;

}  // namespace

// Copies one frame of a sprite onto the window, unscaled. A sprite whose skin
// picture could not be loaded leaves its place as it is, so a missing skin file
// never stops the window from working.
static void PaintFrame(Form& form, const Image& sprite, int x, int y, int width, int height, int frameX) {
    if (!sprite.Picture()) return;
    form.PaintPicture(sprite.Picture(), static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                      static_cast<float>(height), static_cast<float>(frameX), 0, static_cast<float>(width),
                      static_cast<float>(height), SRCCOPY);
}

void Form1::Form_Paint() {
    const int width = static_cast<int>(ScaleWidth());
    // The background is copied one to one from the picture's left edge; where
    // the window is wider (or the picture lower than 100) the header keeps the
    // window's back colour, which the paint laid first.
    if (const auto& background = Image1.Picture())
        PaintFrame(*this, Image1, 0, 0, std::min(width, background->Width()), std::min(100, background->Height()), 0);
    PaintCaptionButtons(-1);
    PaintFrame(*this, logo, 6, 20, 390, 80, 0);
    PaintRestingTabs();
}

// The four caption buttons, close first; `hovered` (0 to 3) gets its hover
// frame, the others their normal one.
void Form1::PaintCaptionButtons(int hovered) {
    const int width = static_cast<int>(ScaleWidth());
    const int state = WindowState();
    auto paint = [&](int index, const Image& sprite) {
        PaintFrame(*this, sprite, width - kButtonWidth * (index + 1), 20, kButtonWidth, kButtonHeight,
                   index == hovered ? kHover : 0);
    };
    paint(0, Image4);
    if (state == vbNormal) paint(1, Image5);
    if (state == vbMaximized) paint(1, Image8);
    paint(2, Image6);
    paint(3, Image7);
}

void Form1::PaintTab(int index, int frame) {
    const Image* sprites[] = {&Image9, &Image10, &zb, &yy};
    PaintFrame(*this, *sprites[index], 400 + 100 * index, 20, kTabWidth, kTabHeight, frame);
}

void Form1::PaintTabRow(int selected) {
    for (int index = 0; index < 4; ++index) PaintTab(index, index == selected ? kTabSelected : 0);
}

// The tabs at rest follow the library panel's visibility only: tab 1 is
// selected while it shows (also for the pages of tabs 2 and 3), tab 0 otherwise.
void Form1::PaintRestingTabs() {
    const bool library = Picture1.Visible();
    PaintTab(0, library ? 0 : kTabSelected);
    PaintTab(1, library ? kTabSelected : 0);
    PaintTab(2, 0);
    PaintTab(3, 0);
}

void Form1::Form_MouseMove(int Button, int Shift, float X, float Y) {
    PaintCaptionButtons(-1);
    PaintRestingTabs();
    if (WindowState() != vbMaximized) DragResizeForm(*this, Button, Shift, X, Y);
}

void Form1::Form_Resize() {
    if (WindowState() == vbMinimized) return;
    const float width = ScaleWidth();
    const float height = ScaleHeight();

    // Only the top corners are rounded: the region reaches 200 pixels below
    // the window. The window owns the region from here on.
    HRGN region = CreateRoundRectRgn(0, 0, static_cast<int>(std::lround(width + 1)),
                                     static_cast<int>(std::lround(height + 200)), 5, 5);
    SetWindowRgn(hWnd(), region, TRUE);

    auto place = [](Line& line, float x1, float y1, float x2, float y2) {
        line.SetX1(x1);
        line.SetY1(y1);
        line.SetX2(x2);
        line.SetY2(y2);
    };
    place(Line1, 1, 100, width - 1, 100);
    place(Line2, 1, 100, 1, height - 1);
    place(Line3, width - 2, 100, width - 2, height - 1);
    place(Line4, 1, height - 2, width - 1, height - 2);

    Picture1.Move(2, 101, width - 4, height - 101 - 2);
    Picture1.ZOrder(vbBringToFront);
    Picture2.Move(2, 101, width - 4, height - 101 - 2);

    Button1[0].Move(width - 30, 20, 30, 80);
    Button1[1].Move(width - 60, 20, 30, 80);
    hy.SetWidth(145);
    hy.SetHeight(39);
    hy.Move(width - hy.Width(), 60);
    Button1[2].Move(width - 90, 20, 30, 80);
    Button1[3].Move(width - 120, 20, 30, 80);
    Button1[7].Move(0, 20, 81, 80);
    for (int index = 0; index < 4; ++index) Button2[index].Move(static_cast<float>(400 + 100 * index), 20, 107, 80);
}

// ---- Caption buttons ---------------------------------------------------------

// A [form] switch is on only for a text that converts to True ("True" in any
// letter case, or a number other than 0). Anything else, a missing or empty
// value included, counts as False, as the settings window reads it too, so the
// window and its settings never disagree.
static bool SwitchOn(const std::string& value) { return zem::platform::TextToBoolean(value).value_or(false); }

void Form1::Button1_Click(int Index) {
    switch (Index) {
        case 0: {
            if (SwitchOn(cfgForm)) {
                Hide();
                return;
            }
            zem::player::ExitPlayer(*this);
            return;
        }
        case 1: ToggleMaximized(); return;
        case 2:
            if (SwitchOn(cfgRenwulan))
                SetWindowState(vbMinimized);
            else
                Hide();
            return;
        case 3: PopupMenu(FormInstance<Form2>::Get().menu); return;
        // Index 7 lies over the logo's left end: it shows its tooltip and
        // keeps the mouse from the window's surface, so a press there neither
        // drags nor maximizes; it has no action of its own.
        default: return;
    }
}

void Form1::ToggleMaximized() { SetWindowState(WindowState() == vbNormal ? vbMaximized : vbNormal); }

void Form1::Form_DblClick() { ToggleMaximized(); }

void Form1::Button1_MouseDown(int Index, int, int, float, float) {
    const int width = static_cast<int>(ScaleWidth());
    const int state = WindowState();
    const Image* sprite = nullptr;
    switch (Index) {
        case 0: sprite = &Image4; break;
        case 1: sprite = state == vbNormal ? &Image5 : state == vbMaximized ? &Image8 : nullptr; break;
        case 2: sprite = &Image6; break;
        case 3: sprite = &Image7; break;
        default: break;
    }
    if (sprite != nullptr)
        PaintFrame(*this, *sprite, width - kButtonWidth * (Index + 1), 20, kButtonWidth, kButtonHeight, kPressed);
}

void Form1::Button1_MouseMove(int Index, int, int, float, float) {
    if (Index == 1) {
        if (WindowState() == vbNormal) Button1[1].SetToolTipText("最大化");
        if (WindowState() == vbMaximized) Button1[1].SetToolTipText("还原");
    }
    if (Index >= 0 && Index <= 3) PaintCaptionButtons(Index);
    SetMousePointer(vbDefault);
}

// ---- View tabs ---------------------------------------------------------------

void Form1::Button2_Click(std::int16_t Index) {
    switch (Index) {
        case 0:
            Picture1.SetVisible(false);
            PaintTabRow(0);
            return;
        case 1:
            Picture1.SetVisible(true);
            W2.SetVisible(false);
            W4.SetVisible(false);
            // While a player page is open nothing is ended.
            if (!W3.Visible()) 配置信息::KillPlayerHelpers();
            PaintTabRow(1);
            return;
        case 2:
        case 3: {
            namespace server = zem::content_server;
            Picture1.SetVisible(true);
            Button2_Click(1);
            W4.Navigate(server::Join(server::FixedHost(), Index == 2 ? server::kLogoPagePath : server::kOrkePagePath));
            W4.SetVisible(true);
            PaintTabRow(Index);
            return;
        }
        default: return;
    }
}

void Form1::bb() { Button2_Click(0); }

void Form1::Button2_MouseMove(int Index, int, int, float, float) {
    const bool library = Picture1.Visible();
    switch (Index) {
        case 0:
            if (library) {
                PaintTab(0, kTabHover);
            } else {
                for (int tab : {1, 2, 3}) PaintTab(tab, 0);
            }
            break;
        case 1:
            if (library) {
                for (int tab : {0, 2, 3}) PaintTab(tab, 0);
            } else {
                PaintTab(1, kTabHover);
            }
            break;
        case 2:
            PaintTab(3, 0);
            PaintTab(2, kTabSelected);
            break;
        case 3:
            PaintTab(2, 0);
            PaintTab(3, kTabSelected);
            break;
        default: break;
    }
    SetMousePointer(vbDefault);
}

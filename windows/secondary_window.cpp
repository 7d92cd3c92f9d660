#include "windows/secondary_window.h"

#include <utility>

#include "platform/forms/picture.h"
#include "platform/window/user32.h"

namespace zem::windows {

void DragWindow(forms::Form& form) {
    form.SetMousePointer(forms::vbCustom);
    ReleaseCapture();
    SendMessageA(form.hWnd(), WM_SYSCOMMAND, 0xF012, 0);
}

void PlaceFrameLines(forms::Form& form, int top, forms::Line& topLine, forms::Line& left, forms::Line& right,
                     forms::Line& bottom) {
    const auto width = static_cast<float>(form.InnerPixelSize().cx);
    const auto height = static_cast<float>(form.InnerPixelSize().cy);
    const auto place = [](forms::Line& line, float x1, float y1, float x2, float y2) {
        line.SetX1(x1);
        line.SetY1(y1);
        line.SetX2(x2);
        line.SetY2(y2);
    };
    const auto y = static_cast<float>(top);
    place(topLine, 0, y, width, y);
    place(left, 0, y, 0, height);
    place(right, width - 1, y, width - 1, height);
    place(bottom, 0, height - 1, width - 1, height - 1);
}

void DesignButtonLooks(const std::string& window, const ButtonLooks& looks) {
    looks.footButton.Move(272, 208, 118, 64);
    looks.footButton.SetPicture(forms::DesignPicture(window + ".Image2"));
    looks.titleButton.Move(344, 8, 38, 26);
    looks.titleButton.SetPicture(forms::DesignPicture(window + ".Image5"));
    const std::pair<forms::Image*, const char*> hidden[] = {
        {&looks.footRest, ".Image3"}, {&looks.footHover, ".Image4"}, {&looks.titleRest, ".Image6"},
        {&looks.titleHover, ".Image7"}};
    for (const auto& [look, name] : hidden) {
        look->SetVisible(false);
        look->SetPicture(forms::DesignPicture(window + name));
    }
}

}  // namespace zem::windows

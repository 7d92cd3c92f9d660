#include "platform/shell/tray.h"

#include <algorithm>
#include <cstring>

#include "platform/base/text.h"
#include "platform/window/user32.h"

namespace zem::platform {
namespace {

// Text of a fixed-size ANSI field: up to its first NUL (or the whole field
// when it has none), decoded from GBK; a byte that is no GBK is shown as U+FFFD.
std::string DecodeField(const char* field, std::size_t size) {
    const std::size_t length = std::find(field, field + size, '\0') - field;
    return GbkToUtf8(std::string_view(field, length));
}

class NotificationArea {
public:
    static NotificationArea& Get() {
        static NotificationArea area;
        return area;
    }

    std::vector<TrayIcon> icons;

private:
    // An icon goes with its window: the area forgets the icons of a destroyed window.
    NotificationArea()
        : destroyed_([this](const WindowEvent& event) {
              if (event.kind == WindowEventKind::Destroyed)
                  std::erase_if(icons, [&](const TrayIcon& icon) { return icon.window == event.window; });
          }) {}
    WindowObserverRegistration destroyed_;
};

TrayIcon* Find(HWND window, UINT id) {
    auto& icons = NotificationArea::Get().icons;
    auto found = std::find_if(icons.begin(), icons.end(),
                              [&](const TrayIcon& icon) { return icon.window == window && icon.id == id; });
    return found == icons.end() ? nullptr : &*found;
}

void Apply(TrayIcon& icon, const NOTIFYICONDATAA& data) {
    if ((data.uFlags & NIF_MESSAGE) != 0) icon.callbackMessage = data.uCallbackMessage;
    if ((data.uFlags & NIF_ICON) != 0) icon.icon = FieldHandle<HICON>(data.hIcon);
    if ((data.uFlags & NIF_TIP) != 0) icon.tip = DecodeField(data.szTip, sizeof data.szTip);
    if ((data.uFlags & NIF_STATE) != 0 && (data.dwStateMask & NIS_HIDDEN) != 0)
        icon.hidden = (data.dwState & NIS_HIDDEN) != 0;
    if ((data.uFlags & NIF_INFO) != 0) {
        TrayBalloon balloon;
        balloon.text = DecodeField(data.szInfo, sizeof data.szInfo);
        balloon.title = DecodeField(data.szInfoTitle, sizeof data.szInfoTitle);
        balloon.flags = data.dwInfoFlags;
        balloon.timeout = data.uTimeout;
        // An empty balloon text takes a balloon down.
        if (balloon.text.empty()) icon.balloon.reset();
        else icon.balloon = std::move(balloon);
    }
}

bool Notify(HWND window, UINT id, std::initializer_list<LPARAM> events) {
    const TrayIcon* icon = Find(window, id);
    if (icon == nullptr || !icon->callbackMessage) return false;
    const UINT message = *icon->callbackMessage;
    for (LPARAM event : events) {
        if (Find(window, id) == nullptr) break;  // a handler may take the icon away
        SendMessageA(window, message, id, event);
    }
    return true;
}

struct ButtonMessages {
    LPARAM down, up, twice;
};
ButtonMessages MessagesOf(MouseButton button) {
    switch (button) {
        case MouseButton::Right: return {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
        case MouseButton::Middle: return {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK};
        default: return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    }
}

}  // namespace

std::vector<TrayIcon> TrayIcons() { return NotificationArea::Get().icons; }

std::optional<TrayIcon> FindTrayIcon(HWND window, UINT id) {
    const TrayIcon* icon = Find(window, id);
    return icon != nullptr ? std::optional<TrayIcon>(*icon) : std::nullopt;
}

bool ClickTrayIcon(HWND window, UINT id, MouseButton button) {
    const ButtonMessages messages = MessagesOf(button);
    return Notify(window, id, {messages.down, messages.up});
}

bool DoubleClickTrayIcon(HWND window, UINT id, MouseButton button) {
    const ButtonMessages messages = MessagesOf(button);
    return Notify(window, id, {messages.down, messages.up, messages.twice, messages.up});
}

bool NotifyTrayIcon(HWND window, UINT id, UINT mouseMessage) { return Notify(window, id, {mouseMessage}); }

bool ClickTrayBalloon(HWND window, UINT id) {
    TrayIcon* icon = Find(window, id);
    if (icon == nullptr || !icon->balloon) return false;
    icon->balloon.reset();
    return Notify(window, id, {NIN_BALLOONUSERCLICK});
}

}  // namespace zem::platform

BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
    using namespace zem::platform;
    if (data == nullptr || data->cbSize != sizeof(NOTIFYICONDATAA)) return FALSE;
    const HWND window = FieldHandle<HWND>(data->hWnd);
    TrayIcon* icon = Find(window, data->uID);
    switch (message) {
        case NIM_ADD: {
            if (icon != nullptr || !IsLiveWindow(window)) return FALSE;
            TrayIcon added;
            added.window = window;
            added.id = data->uID;
            Apply(added, *data);
            NotificationArea::Get().icons.push_back(std::move(added));
            return TRUE;
        }
        case NIM_MODIFY:
            if (icon == nullptr) return FALSE;
            Apply(*icon, *data);
            return TRUE;
        case NIM_DELETE:
            if (icon == nullptr) return FALSE;
            std::erase_if(NotificationArea::Get().icons,
                          [&](const TrayIcon& each) { return each.window == window && each.id == data->uID; });
            return TRUE;
        default: return FALSE;
    }
}

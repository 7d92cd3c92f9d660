// Controls and containers: the pieces a form is made of.
//
// A container (a form, a picture box, a user control) owns a window. Windowed
// controls (picture box, text box, list box, web browser, user control) own a
// child window of their container's window; windowless controls (label,
// image, line) are drawn and hit-tested by their container. A control's place
// is kept in pixels of its container's inner area and read and written in the
// container's scale units.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/win32_types.h"
#include "platform/forms/picture.h"
#include "platform/forms/std_font.h"

namespace zem::forms {

// Scale modes.
inline constexpr int vbUser = 0;
inline constexpr int vbTwips = 1;
inline constexpr int vbPixels = 3;
inline constexpr int TwipsPerPixel = 15;
// Mouse buttons and shift state of the mouse events.
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
// Mouse pointers.
inline constexpr int vbDefault = 0;
inline constexpr int vbSizeNESW = 6;
inline constexpr int vbSizeNS = 7;
inline constexpr int vbSizeNWSE = 8;
inline constexpr int vbSizeWE = 9;
inline constexpr int vbCustom = 99;
// Z-order positions.
inline constexpr int vbBringToFront = 0;
inline constexpr int vbSendToBack = 1;

// The runtime's button value (vbLeftButton…) of a button message, 0 for others.
int ButtonOf(UINT message);
// The held buttons (vbLeftButton…) and the shift state (vbShiftMask…) of a mouse message's key flags.
int HeldButtonsOf(WPARAM keys);
int ShiftOf(WPARAM keys);

using MouseHandler = std::function<void(int Button, int Shift, float X, float Y)>;
using ClickHandler = std::function<void()>;

class Container;

// A size given below zero, in pixels, is an empty one: layouts compute sizes
// from their container's, which may be smaller than their margins, and a
// stale size kept instead would show what no longer fits.
inline int SizeInPixels(int pixels) { return pixels < 0 ? 0 : pixels; }

// What every control has: a name, an index in a control array, a place, a
// visibility, an enabled state, a tooltip and the mouse events.
class Control {
public:
    Control(Container& parent, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    Container& Parent() const { return *parent_; }

    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void SetLeft(float left);
    void SetTop(float top);
    void SetWidth(float width);
    void SetHeight(float height);
    // Place and size in the container's units; a missing size keeps its value.
    void Move(float left, float top, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(std::string text) { toolTip_ = std::move(text); }
    std::string Tag;

    // Brings the control in front of (0) or behind (1) its siblings of the
    // same kind (windowed or windowless).
    virtual void ZOrder(int position = vbBringToFront);

    ClickHandler OnClick;
    ClickHandler OnDblClick;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;

    // The place in pixels of the container's inner area.
    const RECT& PixelBounds() const { return bounds_; }
    virtual void SetPixelBounds(const RECT& bounds);
    virtual bool IsWindowless() const { return true; }
    // Windowless controls: drawn onto the container's DC, at the given origin.
    virtual void Draw(HDC dc, POINT origin);
    virtual bool HitTest(POINT innerPoint) const;

protected:
    // Called after the place or the visibility changed.
    virtual void BoundsChanged(const RECT& old);
    virtual void VisibilityChanged();

private:
    Container* parent_;
    std::string name_;
    int index_ = -1;
    RECT bounds_{};
    bool visible_ = true;
    bool enabled_ = true;
    std::string toolTip_;
};

// A window that routes its messages to an object: every form and windowed
// control creates its window through this.
class WindowOwner {
public:
    virtual ~WindowOwner();
    HWND hWnd() const { return window_; }
    // The message handler of the window; the default passes to DefWindowProc.
    virtual LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    void CreateOwnedWindow(DWORD exStyle, DWORD style, const RECT& bounds, HWND parent, const std::string& text);
    void DestroyOwnedWindow();
    friend class Container;

private:
    static LRESULT WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

class Timer;

// Something that holds controls and draws itself: a form, a picture box or a
// user control. It lays out nothing by itself; its Resize event does.
class Container : public virtual WindowOwner {
public:
    Container();
    ~Container() override;

    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int scaleMode);
    float ScaleWidth() const;
    float ScaleHeight() const;
    float ScaleX(float value, int from, int to) const;
    float ToUnits(int pixels) const;
    int ToPixels(float units) const;

    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF color);
    const FontRef& Font() const { return font_; }
    void SetFont(FontRef font);
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer);
    const PictureRef& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(PictureRef icon);
    const PictureRef& Picture() const { return picture_; }
    virtual void SetPicture(PictureRef picture);

    // Repaints at once through WM_PAINT.
    void Refresh();
    // Copies a rectangle of a picture onto the container at once. Sizes of
    // -1 mean the picture's (source) or the source's (destination) size;
    // positions and sizes are in the container's units.
    void PaintPicture(const PictureRef& picture, float x1, float y1, float width1 = -1, float height1 = -1,
                      float x2 = 0, float y2 = 0, float width2 = -1, float height2 = -1,
                      DWORD rasterOperation = 0x00CC0020);

    // Inner area in pixels: the window less its border.
    virtual int BorderPixels() const { return 0; }
    SIZE InnerPixelSize() const;

    // Children, kept by their constructors and destructors.
    void Adopt(Control& child);
    void Release(Control& child);
    void Adopt(Timer& timer);
    void Release(Timer& timer);
    const std::vector<Control*>& Children() const { return children_; }
    void BringToFront(Control& child, bool front);

    // The control (or null for the container) under an inner point.
    Control* WindowlessAt(POINT innerPoint) const;
    void InvalidateInner(const RECT& innerRect);

    // The container's own events.
    ClickHandler OnPaint;
    ClickHandler OnResize;
    ClickHandler OnContainerClick;
    ClickHandler OnContainerDblClick;
    MouseHandler OnContainerMouseDown;
    MouseHandler OnContainerMouseMove;
    MouseHandler OnContainerMouseUp;

    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Raised for the container itself; forms turn these into their virtuals.
    virtual void RaisePaint();
    virtual void RaiseResize();
    virtual void RaiseMouse(UINT kind, int button, int shift, float x, float y);
    virtual void RaiseClick(bool doubleClick);
    void CheckResize();
    void PaintAll(HDC dc);
    // After the container's window is made: the windows of its windowed
    // controls and its timers; before it goes: the same taken down.
    void CreateChildWindows();
    void DestroyChildWindows();
    void ForgetSize() { lastSize_ = {-1, -1}; }

private:
    void MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void DispatchMouse(Control* target, UINT kind, int button, int shift, POINT inner);

    int scaleMode_ = vbTwips;
    COLORREF backColor_ = 0x8000000F;
    COLORREF foreColor_ = 0x80000012;
    FontRef font_ = StdFont::Create();
    int mousePointer_ = vbDefault;
    PictureRef mouseIcon_;
    PictureRef picture_;
    std::vector<Control*> children_;
    std::map<UINT_PTR, Timer*> timers_;
    SIZE lastSize_{-1, -1};
    Control* pressed_ = nullptr;
    bool pressedOnContainer_ = false;
    bool doubleClicked_ = false;
    int heldButtons_ = 0;
};

// OLE colours: the high bit names a system colour.
COLORREF TranslateColor(COLORREF oleColor);

}  // namespace zem::forms

// The runtime's controls: label, image, line, timer, picture box, text box,
// list box and control arrays (the web browser is in web_browser.h).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/forms/control.h"
#include "platform/forms/runtime_error.h"

namespace zem::forms {

// Label alignment and back style.
inline constexpr int vbLeftJustify = 0;
inline constexpr int vbRightJustify = 1;
inline constexpr int vbCenter = 2;
inline constexpr int vbTransparent = 0;
inline constexpr int vbOpaque = 1;

class Label : public Control {
public:
    Label(Container& parent, std::string name = "Label");
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int backStyle);
    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF color);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    const FontRef& Font() const { return font_; }
    void SetFont(FontRef font);
    void SetEnabled(bool enabled) override;
    void Draw(HDC dc, POINT origin) override;

private:
    void Redraw();
    std::string caption_;
    int backStyle_ = vbOpaque;
    COLORREF backColor_ = 0x8000000F;
    COLORREF foreColor_ = 0x80000012;
    int alignment_ = vbLeftJustify;
    FontRef font_;
    StdFont::Connection fontConnection_;
};

class Image : public Control {
public:
    Image(Container& parent, std::string name = "Image");
    const PictureRef& Picture() const { return picture_; }
    // Without Stretch the image takes the picture's size.
    void SetPicture(PictureRef picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    void Draw(HDC dc, POINT origin) override;

private:
    PictureRef picture_;
    bool stretch_ = false;
};

class Line : public Control {
public:
    Line(Container& parent, std::string name = "Line");
    float X1() const;
    float Y1() const;
    float X2() const;
    float Y2() const;
    void SetX1(float value);
    void SetY1(float value);
    void SetX2(float value);
    void SetY2(float value);
    COLORREF BorderColor() const { return color_; }
    void SetBorderColor(COLORREF color);
    void Draw(HDC dc, POINT origin) override;
    bool HitTest(POINT) const override { return false; }

private:
    void SetEnds(POINT from, POINT to);
    POINT from_{};
    POINT to_{};
    COLORREF color_ = 0x80000008;
};

// Runs its Timer event every Interval milliseconds while Enabled, on the
// container's window timer (and so on the platform clock).
class Timer {
public:
    Timer(Container& parent, std::string name = "Timer");
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    const std::string& Name() const { return name_; }
    int Interval() const { return interval_; }
    // A new interval restarts the period; 0 stops the timer.
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    ClickHandler OnTimer;
    UINT_PTR Id() const { return id_; }
    // Arms or stops the window timer from the current state.
    void Apply();

private:
    Container* parent_;
    std::string name_;
    UINT_PTR id_;
    int interval_ = 0;
    bool enabled_ = true;
};

// A windowed control: its own child window of the container's window, made
// when the container's window is made (or at once, when the container's
// window already exists).
class WindowedControl : public Control, public virtual WindowOwner {
public:
    WindowedControl(Container& parent, std::string name);
    ~WindowedControl() override;
    bool IsWindowless() const override { return false; }
    bool HitTest(POINT) const override { return false; }
    void ZOrder(int position = vbBringToFront) override;
    void SetEnabled(bool enabled) override;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void CreateChildWindow();
    void DestroyChildWindow();

protected:
    // Called by the most derived constructor: the window is made only once
    // the whole object exists, so its first messages reach a complete object.
    void EnsureWindow();
    void BoundsChanged(const RECT& old) override;
    void VisibilityChanged() override;
    virtual void WindowCreated() {}
    virtual void BeforeWindowDestroyed() {}
    // Paints the window's face; the default fills it with its back colour.
    virtual void DrawWindow(HDC dc, const RECT& client);
    void SetWindowBackColor(COLORREF color) { backColor_ = color; }
    void Repaint();

private:
    int heldButtons_ = 0;
    bool doubleClicked_ = false;
    bool pendingCreate_ = false;
    COLORREF backColor_ = 0x8000000F;
};

class PictureBox : public Container, public WindowedControl {
public:
    PictureBox(Container& parent, std::string name = "Picture");
    using WindowOwner::hWnd;
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int borderStyle);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    void SetPicture(PictureRef picture) override;
    int BorderPixels() const override { return borderStyle_ != 0 ? 2 : 0; }
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ZOrder(int position = vbBringToFront) override { WindowedControl::ZOrder(position); }
    using Control::Visible;
    using Control::SetVisible;

protected:
    // For a class deriving further (a user control): the window is left to
    // the most derived constructor (EnsureWindow) or to the control's
    // creator, so that its first messages reach the whole object.
    struct WindowLater {};
    PictureBox(Container& parent, std::string name, WindowLater);

    void RaisePaint() override;
    void RaiseResize() override;
    void RaiseMouse(UINT kind, int button, int shift, float x, float y) override;
    void RaiseClick(bool doubleClick) override;
    void BoundsChanged(const RECT& old) override;
    void WindowCreated() override;
    void BeforeWindowDestroyed() override;

private:
    void FitPicture();
    int borderStyle_ = 0;
    bool autoSize_ = false;
};

// A text box: holds a text and answers clicks; drawn as its text, in its
// font and fore colour, on its back colour.
class TextBox : public WindowedControl {
public:
    TextBox(Container& parent, std::string name = "Text");
    const std::string& Text() const { return text_; }
    void SetText(std::string text);
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF color);
    const FontRef& Font() const { return font_; }
    void SetFont(FontRef font);
    ClickHandler OnChange;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DrawWindow(HDC dc, const RECT& client) override;

private:
    std::string text_;
    COLORREF foreColor_ = 0x80000008;
    FontRef font_;
    StdFont::Connection fontConnection_;
};

// A list box: an ordered list of lines with a selection.
class ListBox : public WindowedControl {
public:
    ListBox(Container& parent, std::string name = "List");
    // Inserts at index, or appends for -1; an index past the end raises error 5.
    void AddItem(std::string item, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const { return static_cast<int>(items_.size()); }
    const std::string& List(int index) const;
    void SetList(int index, std::string item);
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index);

protected:
    void DrawWindow(HDC dc, const RECT& client) override;

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

// A control array: elements of one kind under one name, told apart by Index.
// Handlers bound with Bind reach every element, present and future, with the
// element's index.
template <class T>
class ControlArray {
public:
    ControlArray(Container& parent, std::string name) : parent_(&parent), name_(std::move(name)) {}
    // Creates the element of this index (error 360 when it exists).
    T& Load(int index);
    // Makes the elements present at design time.
    void LoadRange(int first, int last) {
        for (int index = first; index <= last; ++index) Load(index);
    }
    void Unload(int index) { elements_.erase(index); }
    bool Exists(int index) const { return elements_.count(index) != 0; }
    // Element of the index; error 340 when there is none.
    T& operator[](int index) const;
    int Count() const { return static_cast<int>(elements_.size()); }
    int LBound() const { return elements_.empty() ? 0 : elements_.begin()->first; }
    int UBound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }
    // `binder(index, element)` wires one element's handlers.
    void Bind(std::function<void(int index, T& element)> binder);
    template <class F>
    void ForEach(F&& visit) const {
        for (auto& [index, element] : elements_) visit(index, *element);
    }

private:
    Container* parent_;
    std::string name_;
    std::map<int, std::unique_ptr<T>> elements_;
    std::vector<std::function<void(int, T&)>> binders_;
};

void RaiseControlArrayError(int number, const std::string& name, int index);

template <class T>
T& ControlArray<T>::Load(int index) {
    if (Exists(index)) RaiseControlArrayError(errControlArrayElementExists, name_, index);
    auto element = std::make_unique<T>(*parent_, name_);
    element->SetIndex(index);
    // A windowed element whose class leaves its window to its creator (a
    // user control) gets it here, once it is whole.
    if constexpr (std::is_base_of_v<WindowedControl, T>) element->CreateChildWindow();
    T& result = *element;
    elements_.emplace(index, std::move(element));
    for (auto& binder : binders_) binder(index, result);
    return result;
}

template <class T>
T& ControlArray<T>::operator[](int index) const {
    auto found = elements_.find(index);
    if (found == elements_.end()) RaiseControlArrayError(errControlArrayElementMissing, name_, index);
    return *found->second;
}

template <class T>
void ControlArray<T>::Bind(std::function<void(int index, T& element)> binder) {
    for (auto& [index, element] : elements_) binder(index, *element);
    binders_.push_back(std::move(binder));
}

}  // namespace zem::forms

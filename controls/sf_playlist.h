// SFPlayList: the self-drawn two-level play list of groups (nodes) and their
// entries (items). Rows are 28 pixels high; at most one group is open at a
// time; a press on a group folds it, a press on an entry selects it and tells
// the host, a release over a hovered group's delete mark removes the group.
// It paints through an off-screen frame from the glyphs (bitmap resource 101)
// and the row backgrounds (102), scrolls with its own SFVScrollBar1, and its
// messages reach WindowProc through the window-hook thunk.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/control_window.h"
#include "controls/public_data.h"
#include "controls/sf_vscrollbar.h"
#include "platform/drawing/picture.h"
#include "platform/forms/property_bag.h"
#include "platform/forms/std_font.h"
#include "platform/window/user32.h"

struct PlayListItem {
    std::string Name;
    std::string URL;
    bool Selected = false;
    bool Hover = false;
};

struct PlayListNode {
    std::string Text;
    bool Expanded = false;
    std::vector<PlayListItem> Items;
    bool Hover = false;
    std::int32_t ItemsCount() const { return static_cast<std::int32_t>(Items.size()); }
};

class SFPlayList;
inline constexpr PublicData::ThunkEntryRoutine PlayListThunkEntry = &PublicData::ThunkEntry<SFPlayList>;

class SFPlayList {
public:
    static constexpr int kRowHeight = 28;
    static constexpr std::uint32_t kDefaultBackColor = 0x2E2E2E;
    static constexpr std::uint32_t kDefaultForeColor = 0x969696;
    static constexpr std::uint32_t kDefaultSelColor = 0x00B6F8;

    // Makes the control's window as a child of `parent` at `bounds` (pixels)
    // and initializes it; a new instance when `saved` is null, else one read
    // from the bag. `ambientFont` is the host's font (a default one when null).
    SFPlayList(HWND parent, const RECT& bounds, const zem::forms::PropertyBag* saved = nullptr,
               zem::forms::FontRef ambientFont = nullptr);
    ~SFPlayList();
    SFPlayList(const SFPlayList&) = delete;
    SFPlayList& operator=(const SFPlayList&) = delete;

    // ---- Groups and entries ----
    void AddNode(const std::string& strText, std::int32_t dwNodeIndex = -1);
    void RemoveNode(std::int32_t dwNodeIndex);
    bool IsNodeExist(const std::string& strText) const;
    void ClearNodes();
    void AddItem(std::int32_t dwNodeIndex, const std::string& strText, const std::string& strURL,
                 std::int32_t dwIndex = -1);
    void RemoveItem(std::int32_t dwNodeIndex, std::int32_t dwIndex);
    void ClearItems(std::int32_t dwNodeIndex);
    std::string NodeText(std::int32_t dwNodeIndex) const;
    void SetNodeText(std::int32_t dwNodeIndex, const std::string& strText);
    std::string ItemURL(std::int32_t dwNodeIndex, std::int32_t dwItemIndex) const;
    void SetItemURL(std::int32_t dwNodeIndex, std::int32_t dwItemIndex, const std::string& strURL);
    std::string ItemName(std::int32_t dwNodeIndex, std::int32_t dwItemIndex) const;
    void SetItemName(std::int32_t dwNodeIndex, std::int32_t dwItemIndex, const std::string& StrName);
    std::int32_t NodesCount() const { return static_cast<std::int32_t>(Nodes_.size()); }
    std::int32_t ItemsCount(std::int32_t dwNodeIndex) const;
    std::int32_t SelNodeIndex() const { return selNodeIndex_; }
    std::int32_t SelItemIndex() const { return selItemIndex_; }
    HWND hWnd() const { return window_; }

    // ---- Looks ----
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t New_BackColor);
    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t New_ForeColor);
    std::uint32_t SelColor() const { return selColor_; }
    void SetSelColor(std::uint32_t New_SelColor);
    const zem::forms::FontRef& Font() const { return m_StdFont; }
    void SetFont(zem::forms::FontRef New_Font);
    std::string FontName() const { return m_StdFont->Name(); }
    void SetFontName(const std::string& New_FontName);
    std::int32_t FontSize() const;
    void SetFontSize(std::int32_t New_FontSize);
    bool FontBold() const { return m_StdFont->Bold(); }
    void SetFontBold(bool New_FontBold);
    bool FontItalic() const { return m_StdFont->Italic(); }
    void SetFontItalic(bool New_FontItalic);
    bool FontUnderline() const { return m_StdFont->Underline(); }
    void SetFontUnderline(bool New_FontUnderline);
    bool FontStrikethru() const { return m_StdFont->Strikethrough(); }
    void SetFontStrikethru(bool New_FontStrikethru);
    void m_StdFont_FontChanged(const std::string& PropertyName);

    // ---- Events, raised synchronously from inside the message handling ----
    std::function<void(std::int16_t Button)> MouseDown;
    std::function<void(std::int16_t Button)> MouseUp;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& x, float& y)> MouseMove;
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(const std::string& key)> PropertyChanged;

    void WriteProperties(zem::forms::PropertyBag& bag) const;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- Read-only views for the host and for tests ----
    const std::vector<PlayListNode>& Nodes() const { return Nodes_; }
    std::int32_t ExpandedItemsHeight() const { return ExpandedItemsHeight_; }
    // The content height: every group row and the entry rows of the open group.
    std::int64_t ContentHeight() const;
    // How far the rows are scrolled up, in pixels.
    std::int64_t ScrollOffset() const;
    // Scrolls so that the rows move up by `pixels` from the top (limited to the range).
    void ScrollTo(std::int64_t pixels);
    int DrawingWidth() const { return width_; }
    SFVScrollBar& ScrollBar() { return *SFVScrollBar1; }
    const SFVScrollBar& ScrollBar() const { return *SFVScrollBar1; }
    bool ScrollBarShown() const { return BarShown(); }

private:
    void Initialize();
    void InitProperties();
    void ReadProperties(const zem::forms::PropertyBag& bag);
    void Terminate();
    void Changed(const char* key);
    void Refresh() { zem::controls::Repaint(window_); }
    void MakeBackgroundBrush();
    void ListenToFont();

    void UpdateScrollBar();
    void UpdateFont();
    void ToggleNode(std::int32_t dwIndex);
    void CollapseOthers(std::size_t except);
    static COLORREF TranslateColor(std::uint32_t color);

    void OnSize();
    void OnPaint();
    void OnMouseMove(LPARAM lParam);
    void OnButtonDown(LPARAM lParam);
    void OnButtonUp(LPARAM lParam);
    void OnWheel(WPARAM wParam);
    void OnMouseLeave();
    void UserControl_Resize();
    void DrawRowBackground(int y, int sourceY);
    void DrawGlyph(int x, int y, int sourceX, int sourceY, int width, int height);
    bool BarShown() const;

    zem::controls::ControlWindow owned_;
    HWND window_ = nullptr;
    std::vector<PlayListNode> Nodes_;
    std::int32_t ExpandedItemsHeight_ = 0;
    std::int32_t selNodeIndex_ = -1;
    std::int32_t selItemIndex_ = -1;
    std::uint32_t backColor_ = kDefaultBackColor;
    std::uint32_t foreColor_ = kDefaultForeColor;
    std::uint32_t selColor_ = kDefaultSelColor;
    HBRUSH backBrush_ = nullptr;
    zem::forms::FontRef ambientFont_;
    zem::forms::FontRef m_StdFont;
    zem::forms::StdFont::Connection fontConnection_;

    int width_ = 0;   // drawing width: the client width, less the bar when it shows
    int height_ = 0;  // client height
    // Pixels per unit of the bar: 1 while the range fits the bar's 16 bits,
    // more beyond (see UpdateScrollBar).
    std::int64_t scrollUnit_ = 1;
    HDC windowDC_ = nullptr;
    HDC backDC_ = nullptr;
    HGDIOBJ backOriginalBitmap_ = nullptr;
    HGDIOBJ backOriginalFont_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HFONT listFont_ = nullptr;
    HDC skinDC_ = nullptr;
    HGDIOBJ skinOriginalBitmap_ = nullptr;
    zem::platform::PicturePtr glyphs_;
    zem::platform::PicturePtr rowBackgrounds_;
    LPARAM lastMouse_ = 0;
    TRACKMOUSEEVENT leaveRequest_{};
    bool leftPressedHere_ = false;
    PublicData::SubclassThunk thunk_;
    std::unique_ptr<SFVScrollBar> SFVScrollBar1;
};

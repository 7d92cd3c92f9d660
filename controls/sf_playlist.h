// SFPlayList: the self-drawn two-level play list of groups (nodes) and their
// entries (items). Rows are 28 pixels high; at most one group is open at a
// time; a press on a group folds it, a press on an entry selects it and tells
// the host, a release over a hovered group's delete mark removes the group.
// A user control that paints through an off-screen frame from the glyphs
// (bitmap resource 101) and the row backgrounds (102), scrolls with its
// constituent SFVScrollBar1, and whose messages reach WindowProc through the
// window-hook thunk before they go on to the runtime.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/public_data.h"
#include "controls/self_drawn_control.h"
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

class SFPlayList : public zem::controls::SelfDrawnControl {
public:
    static constexpr int kRowHeight = 28;
    static constexpr std::uint32_t kDefaultBackColor = 0x2E2E2E;
    static constexpr std::uint32_t kDefaultForeColor = 0x969696;
    static constexpr std::uint32_t kDefaultSelColor = 0x00B6F8;

    // A control on `parent`, with the new-instance properties (the colours'
    // defaults and a copy of the host's font) until its host loads saved ones.
    SFPlayList(zem::forms::Container& parent, std::string name);
    ~SFPlayList() override;

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

    // ---- Events, raised synchronously to the host ----
    std::function<void(std::int16_t Button)> MouseDown;
    std::function<void(std::int16_t Button)> MouseUp;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& x, float& y)> MouseMove;
    std::function<void()> Click;
    std::function<void()> DblClick;

    // The constituent scroll bar, along the right edge.
    SFVScrollBar SFVScrollBar1{*this, "SFVScrollBar1"};

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
    SFVScrollBar& ScrollBar() { return SFVScrollBar1; }
    const SFVScrollBar& ScrollBar() const { return SFVScrollBar1; }
    bool ScrollBarShown() const { return BarShown(); }

private:
    void InitializeDrawing() override;
    void TerminateDrawing() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const zem::forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(zem::forms::PropertyBag& bag) override;
    void UserControl_Resize() override;
    void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
    void UserControl_Click() override;
    void UserControl_DblClick() override;
    void SFVScrollBar1_Change();
    void SFVScrollBar1_Scroll();
    zem::forms::FontRef AmbientFont() const;
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
    void DrawRowBackground(int y, int sourceY);
    void DrawGlyph(int x, int y, int sourceX, int sourceY, int width, int height);
    bool BarShown() const;

    std::vector<PlayListNode> Nodes_;
    std::int32_t ExpandedItemsHeight_ = 0;
    std::int32_t selNodeIndex_ = -1;
    std::int32_t selItemIndex_ = -1;
    std::uint32_t backColor_ = kDefaultBackColor;
    std::uint32_t foreColor_ = kDefaultForeColor;
    std::uint32_t selColor_ = kDefaultSelColor;
    HBRUSH backBrush_ = nullptr;
    zem::forms::FontRef m_StdFont;
    zem::forms::StdFont::Connection fontConnection_;

    int width_ = 0;   // drawing width: the client width, less the bar when it shows
    int height_ = 0;  // client height
    // Pixels per unit of the bar: 1 while the range fits the bar's 16 bits,
    // more beyond (see UpdateScrollBar).
    std::int64_t scrollUnit_ = 1;
    HGDIOBJ backOriginalFont_ = nullptr;
    HFONT listFont_ = nullptr;
    zem::platform::PicturePtr glyphs_;
    zem::platform::PicturePtr rowBackgrounds_;
    LPARAM lastMouse_ = 0;
    TRACKMOUSEEVENT leaveRequest_{};
};

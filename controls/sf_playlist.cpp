#include "controls/sf_playlist.h"

#include <algorithm>
#include <cmath>

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"

namespace {

constexpr COLORREF kGlyphKey = 0xFF00FF;
constexpr int kBarWidth = SFVScrollBar::kWidth;
constexpr std::int64_t kBarRange = 32767;

bool OverRow(std::int64_t top, int py) { return top < py && py <= top + SFPlayList::kRowHeight; }

// A name shows up to its first NUL, as the code page's NUL-ended string of it
// did; finding it is a byte search, far cheaper than a conversion.
std::string_view ShownName(const std::string& name) {
    const std::string_view whole(name);
    return whole.substr(0, whole.find('\0'));
}

}  // namespace

SFPlayList::SFPlayList(zem::forms::Container& parent, std::string name)
    : SelfDrawnControl(parent, std::move(name), this, PlayListThunkEntry) {
    SFVScrollBar1.InitNew();
    SFVScrollBar1.Change = [this] { SFVScrollBar1_Change(); };
    SFVScrollBar1.Scroll = [this] { SFVScrollBar1_Scroll(); };
    SFVScrollBar1.SetSmallChange(kRowHeight);
    SFVScrollBar1.SetLargeChange(kRowHeight);
    // Until the host loads saved properties the list is a new instance: so it
    // always has its colours, its brush and a font.
    SFPlayList::UserControl_InitProperties();
    EnsureWindow();
}

// Termination runs here, while the whole control exists.
SFPlayList::~SFPlayList() { DestroyChildWindow(); }

void SFPlayList::InitializeDrawing() {
    SetBkMode(BackDC(), TRANSPARENT);
    try {
        glyphs_ = zem::platform::LoadResPicture(101);
        rowBackgrounds_ = zem::platform::LoadResPicture(102);
    } catch (const zem::platform::PictureError&) {
        // Without its pictures the list still works; their copies draw nothing.
    }
    leaveRequest_.cbSize = sizeof(TRACKMOUSEEVENT);  // the record's own size
    leaveRequest_.dwFlags = TME_LEAVE;
    leaveRequest_.hwndTrack = hWnd();
    leaveRequest_.dwHoverTime = 0;
    // What the properties ask of the window: the brush and the list font.
    MakeBackgroundBrush();
    UpdateFont();
}

zem::forms::FontRef SFPlayList::AmbientFont() const {
    const zem::forms::FontRef& font = Ambient().Font();
    return font ? font : zem::forms::StdFont::Create();
}

void SFPlayList::UserControl_InitProperties() {
    backColor_ = kDefaultBackColor;
    foreColor_ = kDefaultForeColor;
    selColor_ = kDefaultSelColor;
    MakeBackgroundBrush();
    // A copy of the host's font: changing the list's font must not change the host's.
    m_StdFont = AmbientFont()->Clone();
    ListenToFont();
    UpdateFont();
}

void SFPlayList::UserControl_ReadProperties(const zem::forms::PropertyBag& bag) {
    backColor_ = static_cast<std::uint32_t>(bag.ReadInt("BackColor", static_cast<std::int32_t>(kDefaultBackColor)));
    foreColor_ = static_cast<std::uint32_t>(bag.ReadInt("ForeColor", static_cast<std::int32_t>(kDefaultForeColor)));
    selColor_ = static_cast<std::uint32_t>(bag.ReadInt("SelColor", static_cast<std::int32_t>(kDefaultSelColor)));
    m_StdFont = bag.ReadFont("Font", AmbientFont());
    if (!m_StdFont) m_StdFont = AmbientFont()->Clone();
    MakeBackgroundBrush();
    ListenToFont();
    UpdateFont();
}

void SFPlayList::UserControl_WriteProperties(zem::forms::PropertyBag& bag) {
    bag.WriteProperty("BackColor", static_cast<std::int32_t>(backColor_), static_cast<std::int32_t>(kDefaultBackColor));
    bag.WriteProperty("ForeColor", static_cast<std::int32_t>(foreColor_), static_cast<std::int32_t>(kDefaultForeColor));
    bag.WriteProperty("SelColor", static_cast<std::int32_t>(selColor_), static_cast<std::int32_t>(kDefaultSelColor));
    bag.WriteProperty("Font", m_StdFont, AmbientFont());
}

void SFPlayList::TerminateDrawing() {
    glyphs_.reset();
    rowBackgrounds_.reset();
    if (backOriginalFont_ != nullptr) SelectObject(BackDC(), backOriginalFont_);
    if (listFont_ != nullptr) DeleteObject(listFont_);
    if (backBrush_ != nullptr) DeleteObject(backBrush_);
    backOriginalFont_ = nullptr;
    listFont_ = nullptr;
    backBrush_ = nullptr;
}

// The brush and the GDI font belong to the window's drawing: they exist while
// the control is initialized, made from the properties as they are then.
void SFPlayList::MakeBackgroundBrush() {
    if (!Initialized()) return;
    if (backBrush_ != nullptr) DeleteObject(backBrush_);
    backBrush_ = CreateSolidBrush(TranslateColor(backColor_));
}

void SFPlayList::ListenToFont() {
    fontConnection_ = m_StdFont->OnFontChanged([this](const std::string& name) { m_StdFont_FontChanged(name); });
}

// ---- Groups and entries ------------------------------------------------------------------

void SFPlayList::CollapseOthers(std::size_t except) {
    for (std::size_t i = 0; i < Nodes_.size(); ++i) {
        if (i == except || !Nodes_[i].Expanded) continue;
        Nodes_[i].Expanded = false;
        ExpandedItemsHeight_ -= kRowHeight * Nodes_[i].ItemsCount();
    }
}

void SFPlayList::AddNode(const std::string& strText, std::int32_t dwNodeIndex) {
    if (dwNodeIndex < -1 || dwNodeIndex >= NodesCount()) return;
    const std::size_t position = dwNodeIndex == -1 ? Nodes_.size() : static_cast<std::size_t>(dwNodeIndex);
    Nodes_.insert(Nodes_.begin() + static_cast<std::ptrdiff_t>(position), PlayListNode{});
    CollapseOthers(position);
    Nodes_[position].Expanded = true;
    Nodes_[position].Text = strText;
    UpdateScrollBar();
    Refresh();
}

void SFPlayList::RemoveNode(std::int32_t dwNodeIndex) {
    if (dwNodeIndex < 0 || dwNodeIndex >= NodesCount()) return;
    const auto position = Nodes_.begin() + dwNodeIndex;
    if (position->Expanded) ExpandedItemsHeight_ -= kRowHeight * position->ItemsCount();
    Nodes_.erase(position);
    UpdateScrollBar();
    Refresh();
}

bool SFPlayList::IsNodeExist(const std::string& strText) const {
    return std::any_of(Nodes_.begin(), Nodes_.end(), [&](const PlayListNode& node) { return node.Text == strText; });
}

void SFPlayList::ClearNodes() {
    if (Nodes_.empty()) return;
    Nodes_.clear();
    ExpandedItemsHeight_ = 0;
    UpdateScrollBar();
    Refresh();
}

void SFPlayList::AddItem(std::int32_t dwNodeIndex, const std::string& strText, const std::string& strURL,
                         std::int32_t dwIndex) {
    if (dwNodeIndex < 0 || dwNodeIndex >= NodesCount()) return;
    PlayListNode& node = Nodes_[static_cast<std::size_t>(dwNodeIndex)];
    if (dwIndex < -1 || dwIndex >= node.ItemsCount()) return;
    const std::size_t position = dwIndex == -1 ? node.Items.size() : static_cast<std::size_t>(dwIndex);
    node.Items.insert(node.Items.begin() + static_cast<std::ptrdiff_t>(position),
                      PlayListItem{strText, strURL, false, false});
    if (node.Expanded) {
        ExpandedItemsHeight_ += kRowHeight;
        UpdateScrollBar();
    }
    Refresh();
}

void SFPlayList::RemoveItem(std::int32_t dwNodeIndex, std::int32_t dwIndex) {
    if (dwNodeIndex < 0 || dwNodeIndex >= NodesCount()) return;
    PlayListNode& node = Nodes_[static_cast<std::size_t>(dwNodeIndex)];
    if (dwIndex < 0 || dwIndex >= node.ItemsCount()) return;
    node.Items.erase(node.Items.begin() + dwIndex);
    if (node.Expanded) {
        ExpandedItemsHeight_ -= kRowHeight;
        UpdateScrollBar();
    }
    Refresh();
}

void SFPlayList::ClearItems(std::int32_t dwNodeIndex) {
    if (dwNodeIndex < 0 || dwNodeIndex >= NodesCount()) return;
    PlayListNode& node = Nodes_[static_cast<std::size_t>(dwNodeIndex)];
    if (node.Expanded) ExpandedItemsHeight_ -= kRowHeight * node.ItemsCount();
    std::vector<PlayListItem> released;
    released.swap(node.Items);
    UpdateScrollBar();
    Refresh();
}

std::string SFPlayList::NodeText(std::int32_t dwNodeIndex) const {
    if (dwNodeIndex < 0 || dwNodeIndex >= NodesCount()) return {};
    return Nodes_[static_cast<std::size_t>(dwNodeIndex)].Text;
}

void SFPlayList::SetNodeText(std::int32_t dwNodeIndex, const std::string& strText) {
    if (dwNodeIndex >= 0 && dwNodeIndex < NodesCount()) Nodes_[static_cast<std::size_t>(dwNodeIndex)].Text = strText;
    Refresh();
    PropertyChanged("NodeText");
}

std::int32_t SFPlayList::ItemsCount(std::int32_t dwNodeIndex) const {
    if (dwNodeIndex < 0 || dwNodeIndex >= NodesCount()) return 0;
    return Nodes_[static_cast<std::size_t>(dwNodeIndex)].ItemsCount();
}

std::string SFPlayList::ItemURL(std::int32_t dwNodeIndex, std::int32_t dwItemIndex) const {
    if (dwItemIndex < 0 || dwItemIndex >= ItemsCount(dwNodeIndex)) return {};
    return Nodes_[static_cast<std::size_t>(dwNodeIndex)].Items[static_cast<std::size_t>(dwItemIndex)].URL;
}

void SFPlayList::SetItemURL(std::int32_t dwNodeIndex, std::int32_t dwItemIndex, const std::string& strURL) {
    // Reported also when the indexes are refused, as every property write is.
    if (dwItemIndex >= 0 && dwItemIndex < ItemsCount(dwNodeIndex))
        Nodes_[static_cast<std::size_t>(dwNodeIndex)].Items[static_cast<std::size_t>(dwItemIndex)].URL = strURL;
    PropertyChanged("ItemURL");
}

std::string SFPlayList::ItemName(std::int32_t dwNodeIndex, std::int32_t dwItemIndex) const {
    if (dwItemIndex < 0 || dwItemIndex >= ItemsCount(dwNodeIndex)) return {};
    return Nodes_[static_cast<std::size_t>(dwNodeIndex)].Items[static_cast<std::size_t>(dwItemIndex)].Name;
}

void SFPlayList::SetItemName(std::int32_t dwNodeIndex, std::int32_t dwItemIndex, const std::string& StrName) {
    if (dwItemIndex >= 0 && dwItemIndex < ItemsCount(dwNodeIndex))
        Nodes_[static_cast<std::size_t>(dwNodeIndex)].Items[static_cast<std::size_t>(dwItemIndex)].Name = StrName;
    Refresh();
    PropertyChanged("ItemName");
}

// ---- Looks -------------------------------------------------------------------------------

void SFPlayList::SetBackColor(std::uint32_t New_BackColor) {
    backColor_ = New_BackColor;
    MakeBackgroundBrush();
    Refresh();
    PropertyChanged("BackColor");
}

void SFPlayList::SetForeColor(std::uint32_t New_ForeColor) {
    foreColor_ = New_ForeColor;
    Refresh();
    PropertyChanged("ForeColor");
}

void SFPlayList::SetSelColor(std::uint32_t New_SelColor) {
    selColor_ = New_SelColor;
    Refresh();
    PropertyChanged("SelColor");
}

void SFPlayList::SetFont(zem::forms::FontRef New_Font) {
    if (New_Font) {
        m_StdFont = std::move(New_Font);
        ListenToFont();
        UpdateFont();
        Refresh();
    }
    PropertyChanged("Font");
}

std::int32_t SFPlayList::FontSize() const { return static_cast<std::int32_t>(std::nearbyint(m_StdFont->Size())); }

void SFPlayList::SetFontName(const std::string& New_FontName) {
    m_StdFont->SetName(New_FontName);
    PropertyChanged("FontName");
}

void SFPlayList::SetFontSize(std::int32_t New_FontSize) {
    m_StdFont->SetSize(New_FontSize);
    PropertyChanged("FontSize");
}

void SFPlayList::SetFontBold(bool New_FontBold) {
    m_StdFont->SetBold(New_FontBold);
    PropertyChanged("FontBold");
}

void SFPlayList::SetFontItalic(bool New_FontItalic) {
    m_StdFont->SetItalic(New_FontItalic);
    PropertyChanged("FontItalic");
}

void SFPlayList::SetFontUnderline(bool New_FontUnderline) {
    m_StdFont->SetUnderline(New_FontUnderline);
    PropertyChanged("FontUnderline");
}

void SFPlayList::SetFontStrikethru(bool New_FontStrikethru) {
    m_StdFont->SetStrikethrough(New_FontStrikethru);
    PropertyChanged("FontStrikethru");
}

void SFPlayList::m_StdFont_FontChanged(const std::string&) {
    UpdateFont();
    Refresh();
}

COLORREF SFPlayList::TranslateColor(std::uint32_t color) {
    if ((color & 0x80000000u) != 0) return GetSysColor(static_cast<int>(color & 0x7FFFFFFFu));
    return color;
}

void SFPlayList::UpdateFont() {
    if (!Initialized()) return;
    const int points = FontSize();
    const int height = MulDiv(points, GetDeviceCaps(BackDC(), LOGPIXELSY), 72);
    HFONT font = CreateFontA(-height, 0, 0, 0, m_StdFont->Weight(), m_StdFont->Italic(), m_StdFont->Underline(),
                             m_StdFont->Strikethrough(), static_cast<DWORD>(m_StdFont->Charset()), 0, 0, 0, 0,
                             zem::platform::Utf8ToGbk(m_StdFont->Name()).c_str());
    HGDIOBJ previous = SelectObject(BackDC(), font);
    if (backOriginalFont_ == nullptr) backOriginalFont_ = previous;
    if (listFont_ != nullptr) DeleteObject(listFont_);
    listFont_ = font;
}

// ---- Scrolling ---------------------------------------------------------------------------

std::int64_t SFPlayList::ContentHeight() const {
    return static_cast<std::int64_t>(NodesCount()) * kRowHeight + ExpandedItemsHeight_;
}

bool SFPlayList::BarShown() const {
    return SFVScrollBar1.Visible();
}

std::int64_t SFPlayList::ScrollOffset() const {
    const std::int64_t range = std::max<std::int64_t>(0, ContentHeight() - height_);
    return std::clamp<std::int64_t>(static_cast<std::int64_t>(SFVScrollBar1.Value()) * scrollUnit_, 0, range);
}

void SFPlayList::ScrollTo(std::int64_t pixels) {
    const std::int64_t value = std::clamp<std::int64_t>(pixels / scrollUnit_, 0, kBarRange);
    SFVScrollBar1.SetValue(static_cast<std::int16_t>(value));
    Refresh();
}

void SFPlayList::UpdateScrollBar() {
    const std::int64_t content = ContentHeight();
    RECT client{};
    GetClientRect(hWnd(), &client);
    width_ = client.right;
    height_ = client.bottom;
    if (content <= height_) {
        SFVScrollBar1.SetValue(0);
        SFVScrollBar1.SetVisible(false);
        return;
    }
    width_ -= kBarWidth;
    SFVScrollBar1.SetVisible(true);
    // The bar counts in 16 bits. While the range fits, one unit is one pixel;
    // beyond, a unit is a whole number of rows, so that every row stays
    // reachable and the range never wraps.
    const std::int64_t range = content - height_;
    const std::int64_t unit = range <= kBarRange ? 1 : kRowHeight * ((range + kRowHeight * kBarRange - 1) /
                                                                     (kRowHeight * kBarRange));
    if (unit != scrollUnit_) {
        const std::int64_t offset = static_cast<std::int64_t>(SFVScrollBar1.Value()) * scrollUnit_;
        scrollUnit_ = unit;
        const auto step = static_cast<std::int16_t>(std::max<std::int64_t>(1, kRowHeight / unit));
        SFVScrollBar1.SetSmallChange(step);
        SFVScrollBar1.SetLargeChange(step);
        SFVScrollBar1.SetMax(static_cast<std::int16_t>((range + unit - 1) / unit));
        SFVScrollBar1.SetValue(static_cast<std::int16_t>(std::min<std::int64_t>(offset / unit, kBarRange)));
        return;
    }
    SFVScrollBar1.SetMax(static_cast<std::int16_t>((range + unit - 1) / unit));
}

void SFPlayList::ToggleNode(std::int32_t dwIndex) {
    if (dwIndex < 0 || dwIndex >= NodesCount()) return;
    const auto index = static_cast<std::size_t>(dwIndex);
    CollapseOthers(index);
    PlayListNode& node = Nodes_[index];
    node.Expanded = !node.Expanded;
    ExpandedItemsHeight_ += (node.Expanded ? kRowHeight : -kRowHeight) * node.ItemsCount();
    UpdateScrollBar();
    Refresh();
}

// ---- Messages ----------------------------------------------------------------------------

LRESULT SFPlayList::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: OnSize(); break;
        case WM_PAINT:
            // The one message kept: the frame copied onto the window is the
            // whole face, and the runtime's painting of the control would only
            // cover it with the back colour.
            OnPaint();
            return 0;
        case WM_MOUSEMOVE: OnMouseMove(lParam); break;
        case WM_LBUTTONDOWN: OnButtonDown(lParam); break;
        case WM_LBUTTONUP: OnButtonUp(lParam); break;
        case WM_MOUSEWHEEL: OnWheel(wParam); break;
        case WM_MOUSELEAVE: OnMouseLeave(); break;
        default: break;
    }
    // The runtime then reports what it makes of the message: the Resize,
    // MouseMove, Click and DblClick of the control.
    return CallSavedProcedure(window, message, wParam, lParam);
}

void SFPlayList::UserControl_Resize() {
    SFVScrollBar1.Move(ScaleWidth() - kBarWidth, 0, kBarWidth, ScaleHeight());
}

void SFPlayList::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
    auto button = static_cast<std::int16_t>(Button);
    auto shift = static_cast<std::int16_t>(Shift);
    RaiseEvent(MouseMove, button, shift, X, Y);
}

void SFPlayList::UserControl_Click() { RaiseEvent(Click); }

void SFPlayList::UserControl_DblClick() { RaiseEvent(DblClick); }

void SFPlayList::SFVScrollBar1_Change() { Refresh(); }

void SFPlayList::SFVScrollBar1_Scroll() { Refresh(); }

void SFPlayList::OnSize() {
    RECT client{};
    GetClientRect(hWnd(), &client);
    width_ = client.right;
    height_ = client.bottom;
    ResizeBackBuffer(width_, height_);
    // A size change recomputes the range, the bar's visibility and the drawing
    // width at once, so the rows never lie under the bar or beyond its range.
    // (The first sizing does it too: the bar starts from the list's content.)
    UpdateScrollBar();
    InvalidateRect(hWnd(), nullptr, FALSE);
}

void SFPlayList::DrawRowBackground(int y, int sourceY) {
    if (!rowBackgrounds_) return;
    SelectObject(SkinDC(), rowBackgrounds_->Handle());
    BitBlt(BackDC(), 0, y, 60, kRowHeight, SkinDC(), 0, sourceY, SRCCOPY);
    StretchBlt(BackDC(), 60, y, width_ - 120, kRowHeight, SkinDC(), 60, sourceY, 48, kRowHeight, SRCCOPY);
    BitBlt(BackDC(), width_ - 60, y, 60, kRowHeight, SkinDC(), 108, sourceY, SRCCOPY);
}

void SFPlayList::DrawGlyph(int x, int y, int sourceX, int sourceY, int width, int height) {
    if (!glyphs_) return;
    SelectObject(SkinDC(), glyphs_->Handle());
    TransparentBlt(BackDC(), x, y, width, height, SkinDC(), sourceX, sourceY, width, height, kGlyphKey);
}

void SFPlayList::OnPaint() {
    const RECT all{0, 0, width_, height_};
    FillRect(BackDC(), &all, backBrush_);
    std::int64_t y = -ScrollOffset();
    for (const PlayListNode& node : Nodes_) {
        // Rows wholly outside the frame would be clipped away: they are skipped.
        if (y >= -kRowHeight && y < height_) {
            const int top = static_cast<int>(y);
            if (node.Hover) {
                DrawRowBackground(top, 0);
                DrawGlyph(width_ - 20, top + 8, 30, 5, 8, 7);
            }
            DrawGlyph(15, top + 8, node.Expanded ? 12 : 0, 0, 12, 12);
            SetTextColor(BackDC(), TranslateColor(foreColor_));
            RECT caption{32, top, width_, top + kRowHeight};
            // Names show as the code page shows them ("?" for what GBK cannot
            // hold); a paint converts and reads a name only as far as its row shows it.
            zem::platform::DrawTextAsGbk(BackDC(), ShownName(node.Text), caption, DT_SINGLELINE | DT_VCENTER);
        }
        y += kRowHeight;
        if (!node.Expanded) continue;
        // Only the entries whose top lies in -28 .. H - 1 are drawn.
        const std::int64_t count = node.ItemsCount();
        std::int64_t first = y < -kRowHeight ? (-kRowHeight - y + kRowHeight - 1) / kRowHeight : 0;
        first = std::min(first, count);
        for (std::int64_t j = first; j < count; ++j) {
            const std::int64_t rowTop = y + j * kRowHeight;
            if (rowTop >= height_) break;
            const PlayListItem& item = node.Items[static_cast<std::size_t>(j)];
            const int top = static_cast<int>(rowTop);
            if (item.Selected) {
                DrawRowBackground(top, kRowHeight);
                DrawGlyph(15, top + 10, 24, 5, 4, 7);
            } else if (item.Hover) {
                DrawRowBackground(top, 0);
            }
            SetTextColor(BackDC(), TranslateColor(item.Selected ? selColor_ : foreColor_));
            RECT caption{40, top + 8, width_, top + kRowHeight};
            zem::platform::DrawTextAsGbk(BackDC(), ShownName(item.Name), caption, DT_SINGLELINE);
        }
        y += count * kRowHeight;
    }
    BitBlt(WindowDC(), 0, 0, width_, height_, BackDC(), 0, 0, SRCCOPY);
    // The frame is on the window: nothing is left to paint or erase.
    ValidateRect(hWnd(), nullptr);
}

void SFPlayList::OnMouseMove(LPARAM lParam) {
    lastMouse_ = lParam;
    const int py = GET_Y_LPARAM(lParam);
    std::int64_t y = -ScrollOffset();
    for (PlayListNode& node : Nodes_) {
        node.Hover = OverRow(y, py);
        if (node.Hover) TrackMouseEvent(&leaveRequest_);
        y += kRowHeight;
        if (!node.Expanded) continue;
        for (PlayListItem& item : node.Items) {
            item.Hover = OverRow(y, py);
            if (item.Hover) TrackMouseEvent(&leaveRequest_);
            y += kRowHeight;
        }
    }
    Refresh();
}

void SFPlayList::OnButtonDown(LPARAM lParam) {
    lastMouse_ = lParam;
    const int px = GET_X_LPARAM(lParam);
    const int py = GET_Y_LPARAM(lParam);
    std::int64_t y = -ScrollOffset();
    // At most one row matches: the scan ends there. The host's MouseDown
    // handler may change the list, so nothing of the scan is used after it.
    for (std::int32_t i = 0; i < NodesCount(); ++i) {
        if (OverRow(y, py)) {
            if (px < width_ - 25) {
                selNodeIndex_ = -1;
                selItemIndex_ = -1;
                ToggleNode(i);
            }
            break;
        }
        y += kRowHeight;
        PlayListNode& node = Nodes_[static_cast<std::size_t>(i)];
        if (!node.Expanded) continue;
        if (py > y && py <= y + static_cast<std::int64_t>(node.ItemsCount()) * kRowHeight) {
            const auto j = static_cast<std::int32_t>((py - y - 1) / kRowHeight);
            for (PlayListNode& each : Nodes_)
                for (PlayListItem& item : each.Items) item.Selected = false;
            node.Items[static_cast<std::size_t>(j)].Selected = true;
            selItemIndex_ = j;
            selNodeIndex_ = i;
            RaiseEvent(MouseDown, std::int16_t{1});
            break;
        }
        y += static_cast<std::int64_t>(node.ItemsCount()) * kRowHeight;
    }
    Refresh();
}

void SFPlayList::OnButtonUp(LPARAM lParam) {
    lastMouse_ = lParam;
    const int px = GET_X_LPARAM(lParam);
    const int py = GET_Y_LPARAM(lParam);
    std::int64_t y = -ScrollOffset();
    for (std::int32_t i = 0; i < NodesCount(); ++i) {
        if (OverRow(y, py)) {
            if (width_ - 25 < px && px < width_) RemoveNode(i);
            return;
        }
        y += kRowHeight;
        const PlayListNode& node = Nodes_[static_cast<std::size_t>(i)];
        if (!node.Expanded) continue;
        const std::int64_t entries = static_cast<std::int64_t>(node.ItemsCount()) * kRowHeight;
        if (py > y && py <= y + entries) {
            RaiseEvent(MouseUp, std::int16_t{1});
            return;
        }
        y += entries;
    }
}

void SFPlayList::OnWheel(WPARAM wParam) {
    if (!BarShown()) return;
    const auto turn = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
    const std::int32_t step = std::max<std::int32_t>(1, static_cast<std::int32_t>(kRowHeight / scrollUnit_));
    const std::int32_t value = SFVScrollBar1.Value() + (turn > 0 ? -step : step);
    // Kept within 16 bits before the bar limits it to its range.
    SFVScrollBar1.SetValue(static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767)));
    Refresh();
}

void SFPlayList::OnMouseLeave() {
    for (PlayListNode& node : Nodes_) {
        node.Hover = false;
        for (PlayListItem& item : node.Items) item.Hover = false;
    }
    Refresh();
}

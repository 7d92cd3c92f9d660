// Draws a sample screen with every drawing operation (blits, stretches, key
// colour, text, regions, children, layered alpha) and writes it as a PNG:
//   drawing_sample out.png
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

#include <cstdio>

namespace {

using namespace zem::platform;

void Fill(HDC dc, RECT rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A 168 x 28 row skin: a dark horizontal gradient with light top and bottom lines.
void DrawRowSkin(HDC dc) {
    for (int x = 0; x < 168; ++x) {
        const int distance = x < 84 ? x : 167 - x;
        const BYTE level = static_cast<BYTE>(0x2E + distance * 0x20 / 84);
        Fill(dc, {x, 0, x + 1, 28}, RGB(level + 0x0F, level + 0x0D, level + 0x08));
    }
    Fill(dc, {0, 0, 168, 1}, RGB(0x55, 0x5A, 0x5C));
    Fill(dc, {0, 27, 168, 28}, RGB(0x55, 0x5A, 0x5C));
}

// A 12 x 12 expander glyph on magenta.
void DrawGlyph(HDC dc) {
    Fill(dc, {0, 0, 12, 12}, RGB(255, 0, 255));
    Fill(dc, {1, 1, 11, 11}, RGB(0x3B, 0x3B, 0x3B));
    Fill(dc, {2, 2, 10, 10}, RGB(0x26, 0x26, 0x26));
    Fill(dc, {3, 5, 9, 7}, RGB(0x55, 0x5A, 0x5C));
    Fill(dc, {5, 3, 7, 9}, RGB(0x55, 0x5A, 0x5C));
}

void Text(HDC dc, const char* utf8, RECT rect, UINT format, COLORREF color, int height, const char* face,
          int weight = FW_NORMAL) {
    FontDescription description;
    description.height = height;
    description.weight = weight;
    description.face = face;
    description.charSet = GB2312_CHARSET;
    HFONT font = CreateFontFromDescription(description);
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, color);
    DrawTextUtf8(dc, utf8, rect, format);
    SelectObject(dc, previous);
    DeleteObject(font);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawing_sample out.png\n");
        return 2;
    }
    ConfigureDesktop({520, 320, TaskbarEdge::None, 0});
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "sample";
    RegisterClassA(&windowClass);

    HWND main = CreateWindowExA(0, "sample", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 260, nullptr, nullptr,
                                nullptr, nullptr);
    SetWindowRgn(main, CreateRoundRectRgn(0, 0, 401, 460, 5, 5), TRUE);
    HWND list = CreateWindowExA(0, "sample", "", WS_CHILD | WS_VISIBLE, 180, 62, 216, 194, main, nullptr, nullptr,
                                nullptr);
    HWND tip = CreateWindowExA(WS_EX_LAYERED, "sample", "", WS_POPUP | WS_VISIBLE, 300, 200, 200, 90, nullptr,
                               nullptr, nullptr, nullptr);
    SetLayeredWindowAttributes(tip, 0, 170, LWA_ALPHA);
    ProcessPendingMessages();

    // The main window: header, frame lines, a stretched strip and text.
    HDC dc = GetDC(main);
    Fill(dc, {0, 0, 400, 260}, RGB(0x1F, 0x1F, 0x1F));
    Fill(dc, {0, 0, 400, 56}, RGB(0x2A, 0x2D, 0x30));
    Fill(dc, {1, 56, 399, 57}, RGB(0xFF, 0xE0, 0xC0));
    Fill(dc, {1, 56, 2, 259}, RGB(0xFF, 0xE0, 0xC0));
    Fill(dc, {398, 56, 399, 259}, RGB(0xFF, 0xE0, 0xC0));
    Fill(dc, {1, 258, 399, 259}, RGB(0xFF, 0xE0, 0xC0));
    SetBkMode(dc, TRANSPARENT);
    Text(dc, "zemplayer 播放器", {14, 0, 300, 56}, DT_SINGLELINE | DT_VCENTER, RGB(0xFF, 0xFF, 0xFF), -20,
         "微软雅黑", FW_BOLD);
    Text(dc, "当前版本号：1.0", {10, 70, 170, 98}, DT_SINGLELINE | DT_VCENTER, RGB(0xFF, 0xFF, 0xFF), -14, "微软雅黑");
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0x00, 0x60, 0xC0));
    Text(dc, "不透明背景 OPAQUE", {10, 104, 170, 132}, DT_SINGLELINE | DT_VCENTER, RGB(0xFF, 0xFF, 0xFF), -12, "黑体");
    SetBkMode(dc, TRANSPARENT);
    Text(dc, "这一行文字太长，被裁剪在它的矩形里", {10, 140, 170, 160}, DT_SINGLELINE | DT_VCENTER, RGB(0xFF, 0x96, 0x00),
         -12, "宋体");
    Fill(dc, {9, 139, 170, 140}, RGB(0x60, 0x60, 0x60));
    Fill(dc, {9, 160, 170, 161}, RGB(0x60, 0x60, 0x60));
    Text(dc, "居中\n多行文字\n自动换行", {10, 170, 170, 250}, DT_CENTER, RGB(0xC0, 0xE0, 0xFF), -12, "宋体");
    ReleaseDC(main, dc);

    // The list child: rows composed in a back buffer from a stretched skin
    // and key-coloured glyphs, then copied to the window in one piece.
    HDC window = GetDC(list);
    HDC back = CreateCompatibleDC(window);
    HBITMAP backBitmap = CreateCompatibleBitmap(window, 216, 194);
    HGDIOBJ backOld = SelectObject(back, backBitmap);
    SetStretchBltMode(back, COLORONCOLOR);
    SetBkMode(back, TRANSPARENT);
    HDC skin = CreateCompatibleDC(window);
    HBITMAP skinBitmap = CreateCompatibleBitmap(window, 168, 40);
    HGDIOBJ skinOld = SelectObject(skin, skinBitmap);
    DrawRowSkin(skin);
    HDC glyph = CreateCompatibleDC(window);
    HBITMAP glyphBitmap = CreateCompatibleBitmap(window, 12, 12);
    HGDIOBJ glyphOld = SelectObject(glyph, glyphBitmap);
    DrawGlyph(glyph);
    Fill(back, {0, 0, 216, 194}, RGB(0x40, 0x40, 0x40));
    const char* names[] = {"第一组 电视剧", "第01集", "第02集", "第二组 电影", "第三组 综艺", "第四组 动漫"};
    for (int row = 0; row < 6; ++row) {
        const int y = row * 28;
        const int width = 216;
        if (row == 1 || row == 2) {
            BitBlt(back, 0, y, 60, 28, skin, 0, 0, SRCCOPY);
            StretchBlt(back, 60, y, width - 120, 28, skin, 60, 0, 48, 28, SRCCOPY);
            BitBlt(back, width - 60, y, 60, 28, skin, 108, 0, SRCCOPY);
        }
        const bool group = row == 0 || row >= 3;
        if (group) TransparentBlt(back, 15, y + 8, 12, 12, glyph, 0, 0, 12, 12, RGB(255, 0, 255));
        RECT text{group ? 32 : 40, y, width, y + 28};
        Text(back, names[row], text, DT_SINGLELINE | DT_VCENTER, row == 1 ? RGB(0xFF, 0x96, 0x00) : RGB(0xFF, 0xFF, 0xFF),
             -12, "宋体");
    }
    BitBlt(window, 0, 0, 216, 194, back, 0, 0, SRCCOPY);
    SelectObject(glyph, glyphOld);
    DeleteObject(glyphBitmap);
    DeleteDC(glyph);
    SelectObject(skin, skinOld);
    DeleteObject(skinBitmap);
    DeleteDC(skin);
    SelectObject(back, backOld);
    DeleteObject(backBitmap);
    DeleteDC(back);
    ReleaseDC(list, window);

    // A layered tip strip over both.
    HDC tipDC = GetDC(tip);
    Fill(tipDC, {0, 0, 200, 90}, RGB(0xFF, 0xFF, 0xE1));
    SetBkMode(tipDC, TRANSPARENT);
    Text(tipDC, "半透明窗口\n(layered alpha 170)", {0, 20, 200, 90}, DT_CENTER, RGB(0, 0, 0), -14, "微软雅黑");
    ReleaseDC(tip, tipDC);

    const bool written = WriteScreenSnapshot(argv[1]);
    ResetWindowSystem();
    return written ? 0 : 1;
}

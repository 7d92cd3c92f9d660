#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"

#include <gtest/gtest.h>

namespace {

using zem::platform::LiveDeviceContextCount;
using zem::platform::LiveGdiObjectCount;

TEST(DrawingObjects, SelectObjectReturnsWhatItReplacedAndGetCurrentObjectAgrees) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ ownBitmap = GetCurrentObject(dc, OBJ_BITMAP);
    HGDIOBJ ownFont = GetCurrentObject(dc, OBJ_FONT);
    ASSERT_NE(ownBitmap, nullptr);
    ASSERT_NE(ownFont, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectA(ownBitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);

    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 4);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(dc, bitmap), ownBitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    HGDIOBJ ownBrush = SelectObject(dc, brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(SelectObject(dc, ownBrush), brush);
    EXPECT_EQ(SelectObject(dc, ownBitmap), bitmap);
    EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP);
    EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
    EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(DrawingObjects, AnObjectStillSelectedIsNotFreed) {
    DeleteDC(CreateCompatibleDC(nullptr));  // brings the stock objects into being
    const std::size_t objectsBefore = LiveGdiObjectCount();
    const std::size_t contextsBefore = LiveDeviceContextCount();
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "");
    HGDIOBJ ownBitmap = SelectObject(dc, bitmap);
    HGDIOBJ ownFont = SelectObject(dc, font);

    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP) << "still alive and usable";

    // A bitmap lives in one memory DC at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);

    // Deleting the DC lets go of its objects without freeing them.
    SelectObject(dc, ownBitmap);
    SelectObject(dc, ownFont);
    SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(font));

    EXPECT_EQ(GetObjectType(bitmap), 0u) << "a freed handle is gone and stays gone";
    EXPECT_FALSE(DeleteObject(bitmap));
    HDC late = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(late, bitmap), nullptr);
    DeleteDC(late);
    EXPECT_EQ(LiveGdiObjectCount(), objectsBefore) << "nothing leaked";
    EXPECT_EQ(LiveDeviceContextCount(), contextsBefore);
}

TEST(DrawingObjects, HandlesAreSmallIntegers) {
    HBRUSH brush = CreateSolidBrush(0);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_LT(reinterpret_cast<std::uintptr_t>(brush), 0xFFFFFFFFu);
    EXPECT_LT(reinterpret_cast<std::uintptr_t>(dc), 0xFFFFFFFFu);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(brush), static_cast<std::uintptr_t>(COLOR_MENUBAR + 1));
    DeleteObject(brush);
    DeleteDC(dc);
}

TEST(DrawingObjects, DeviceFiguresAndSystemColours) {
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 96);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(99), 0u);
}

TEST(DrawingObjects, MulDivRoundsHalfAwayFromZeroAndRefusesZero) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    for (const Case& c : {Case{9, 96, 72, 12}, Case{10, 96, 72, 13}, Case{11, 96, 72, 15}, Case{5, 1, 2, 3},
                          Case{-5, 1, 2, -3}, Case{5, -1, 2, -3}, Case{7, 1, 0, -1},
                          Case{0x40000000, 8, 2, -1}, Case{0x40000000, 4, 8, 0x20000000}})
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
}

}  // namespace

// The controls' bitmaps: the play list's glyphs (101) and row backgrounds (102),
// the scroll bar's strip (103), the switch's sprite and the updater's progress skin.
#include "resources/artwork_catalog.h"

#include <array>
#include <cmath>

namespace zem::artwork {
namespace {

Canvas DrawPlayListGlyphs() {
    Canvas glyphs(38, 12, theme::kMagentaKey);
    const Color fill = FromColorRef(0x262626), frame = FromColorRef(0x3B3B3B), sign = FromColorRef(0x5C5A55);
    for (int left : {0, 12}) {
        glyphs.Fill(left, 0, 12, 12, fill);
        glyphs.FrameRect(left, 0, 12, 12, frame);
        glyphs.Fill(left + 3, 5, 6, 2, sign);                 // the bar of both signs
        if (left == 0) glyphs.Fill(left + 5, 3, 2, 6, sign);  // the plus sign's upright
    }
    // The bullet: a right-pointing triangle in the 4 x 7 cell at (24, 5).
    for (int column = 0; column < 4; ++column)
        for (int row = column; row <= 6 - column; ++row) glyphs.Set(24 + column, 5 + row, theme::kAccent);
    // The delete mark: two diagonals two pixels thick in the 8 x 7 cell at (30, 5).
    const Color cross = FromColorRef(0x7E8183);
    for (int row = 0; row < 7; ++row)
        for (int column : {row, row + 1, 6 - row, 7 - row}) glyphs.Set(30 + column, 5 + row, cross);
    return glyphs;
}

// One look of a row background: dark at both ends, lightest from x 60 to 107 (the
// stretched middle), a lighter line on the first and last row.
void DrawRowLook(Canvas& rows, int top, Color middle) {
    const Color end = FromColorRef(0x2E2F2F);
    for (int x = 0; x < 168; ++x) {
        const double fromEdge = x < 60 ? x / 59.0 : x > 107 ? (167 - x) / 59.0 : 1.0;
        const double eased = fromEdge * fromEdge * (3 - 2 * fromEdge);
        const Color color = Mix(end, middle, eased);
        rows.Fill(x, top, 1, 28, color);
        rows.Set(x, top, Lighter(color, 0.10));
        rows.Set(x, top + 27, Lighter(color, 0.06));
    }
}

Canvas DrawPlayListRows() {
    Canvas rows(168, 56);
    DrawRowLook(rows, 0, FromColorRef(0x363B3D));   // hover: grey-brown
    DrawRowLook(rows, 28, FromColorRef(0x39464E));  // selected: warmer and lighter
    return rows;
}

// The scroll bar's strip, 16 pixels wide; looks stacked by rows.
constexpr Color kBeige = Rgb(0xEAE4D3);
constexpr Color kBeigeEdge = Rgb(0xCFC6AE);
constexpr Color kArrowBlue = Rgb(0x1E3A6E);

void DrawArrowFace(Canvas& strip, int top, bool pointsUp, Color faceTop, Color faceBottom, Color arrow) {
    Canvas face(16, 16);
    face.VerticalGradient(0, 0, 16, 16, faceTop, faceBottom);
    face.FrameRect(0, 0, 16, 16, Mix(faceBottom, Rgb(0x000000), 0.18));
    const double tip = pointsUp ? 5 : 11, base = pointsUp ? 10.5 : 5.5;
    face.FillPolygon({{8, tip}, {12.5, base}, {3.5, base}}, arrow);
    strip.Paste(face, 0, top);
}

void DrawThumbLook(Canvas& strip, int top, Color blue) {
    // Ten rows: 4 top cap, 2 middle (stretched), 4 bottom cap; a beige edge all round.
    strip.Fill(0, top, 16, 10, kBeige);
    for (int row = 1; row < 9; ++row) {
        const int inset = (row == 1 || row == 8) ? 2 : 1;
        const Color shade = row < 4 ? Lighter(blue, 0.12 - row * 0.03) : row > 5 ? Darker(blue, (row - 5) * 0.05) : blue;
        strip.Fill(inset, top + row, 16 - 2 * inset, 1, shade);
    }
    strip.Fill(3, top + 4, 10, 2, blue);
    strip.Fill(4, top + 4, 1, 2, Lighter(blue, 0.25));  // a highlight along the bar
}

Canvas DrawScrollStrip() {
    Canvas strip(16, 130, kBeige);
    const Color hoverTop = Rgb(0xDCEBFA), hoverBottom = Rgb(0xC3DAF3);
    const Color pressedTop = Rgb(0xC4C4C4), pressedBottom = Rgb(0x8E8E8E), pressedArrow = Rgb(0x3C3C3C);
    for (bool up : {true, false}) {
        const int first = up ? 0 : 82;
        DrawArrowFace(strip, first, up, Rgb(0xF2EDE0), kBeige, kArrowBlue);
        DrawArrowFace(strip, first + 16, up, hoverTop, hoverBottom, kArrowBlue);
        DrawArrowFace(strip, first + 32, up, pressedTop, pressedBottom, pressedArrow);
    }
    // Track: beige at rest (48-49) and, a touch deeper, pressed (50-51).
    strip.Fill(0, 48, 16, 2, kBeige);
    strip.Fill(0, 48, 1, 2, kBeigeEdge);
    strip.Fill(0, 50, 16, 2, Darker(kBeige, 0.06));
    strip.Fill(0, 50, 1, 2, kBeigeEdge);
    DrawThumbLook(strip, 52, Rgb(0x2F64C8));
    DrawThumbLook(strip, 62, Rgb(0x3A72D6));
    DrawThumbLook(strip, 72, Rgb(0x2857B0));
    return strip;
}

// The switch: six looks of 33 x 19 on the settings window's body colour.
Canvas DrawSwitchSprite() {
    const Color body = Rgb(0xFAF9FC);
    Canvas sprite(99, 38, body);
    const Color violet = Rgb(0x8B5CF6), grey = Rgb(0xD9D9DE);
    for (int state = 0; state < 2; ++state)
        for (int look = 0; look < 3; ++look) {
            const bool on = state == 0;
            Canvas face(33, 19, body);
            Color field = on ? violet : grey;
            if (look == 1) field = Lighter(field, 0.15);
            if (look == 2) field = Darker(field, 0.12);
            face.FillShape(RoundedBox(0.5, 0.5, 32.5, 18.5, 9), field);
            const double knobX = on ? 23 : 10;
            face.FillShape(Circle(knobX, 10, 7.6), Color{0, 0, 0, 40});  // the knob's shadow
            face.FillShape(Circle(knobX, 9.5, 7.2), Rgb(0xFFFFFF));
            if (look == 2) face.FillShape(Circle(knobX, 9.5, 3), Rgb(0xEDEAF5));
            sprite.Paste(face, 33 * look, 19 * state);
        }
    return sprite;
}

// The updater's progress skin, pixel for pixel (COLORREF values by row and column).
Canvas DrawProgressSkin() {
    static constexpr std::array<std::array<std::uint32_t, 10>, 10> kColors{{
        {0xF6F3EA, 0xEBE5D4, 0xE7DFCC, 0xE7DFCC, 0xE7DFCC, 0xE7DFCC, 0xE7DFCC, 0xF6F3EA, 0xE7DFCC, 0xE7DFCC},
        {0xE8E0CF, 0xDEF0E4, 0xDBF6EA, 0xDBF5E9, 0xDBF5E9, 0xDBF4E8, 0xDEF0E4, 0xE8E0CF, 0xFFFFFF, 0xFFFFFF},
        {0xE5DCC9, 0xC6EDD9, 0x9DE1BF, 0xA1E2C2, 0xA1E2C2, 0xA8E4C6, 0xD8F2E4, 0xE5DCC9, 0xFDFDFC, 0xFDFDFC},
        {0xE3DBC8, 0xBFE9D3, 0x94DBB4, 0x98DCB7, 0x98DCB7, 0x9FDEBC, 0xD1EFE0, 0xE3DBC8, 0xF9F9F8, 0xF9F9F8},
        {0xE2D9C6, 0xB3E5CA, 0x88D1A3, 0x8CD3A7, 0x8CD3A7, 0x93D6AD, 0xC7EBD9, 0xE2D9C6, 0xF5F4F1, 0xF5F4F1},
        {0xE0D7C4, 0xA0DBBB, 0x68BD80, 0x6EC086, 0x6EC086, 0x77C590, 0xB9E5CF, 0xE0D7C4, 0xEDECE7, 0xEDECE7},
        {0xDED5C3, 0x97D6AE, 0x62B373, 0x67B779, 0x67B779, 0x6FBD83, 0xAFE1C4, 0xDED5C3, 0xE9E8E1, 0xE9E8E1},
        {0xDDD3C1, 0x8ED19D, 0x5BAB67, 0x60AF6C, 0x60AF6C, 0x68B575, 0xA6DDB3, 0xDDD3C1, 0xE8E6DE, 0xE8E6DE},
        {0xDED5C4, 0xA9E1AB, 0x98E5A2, 0x99E5A3, 0x99E5A3, 0x9BE4A4, 0xB8E3B6, 0xDED5C4, 0xF1EFE6, 0xF1EFE6},
        {0xF1ECE3, 0xDDD4C3, 0xDAD0BE, 0xDAD0BE, 0xDAD0BE, 0xDAD0BE, 0xDAD0BE, 0xF1ECE3, 0xDAD0BE, 0xDAD0BE},
    }};
    Canvas skin(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) skin.Set(x, y, FromColorRef(kColors[y][x]));
    return skin;
}

}  // namespace

void DrawControlArtwork(Artwork& artwork) {
    artwork.bitmaps.push_back({Program::Player, 101, DrawPlayListGlyphs()});
    artwork.bitmaps.push_back({Program::Player, 102, DrawPlayListRows()});
    artwork.bitmaps.push_back({Program::Player, 103, DrawScrollStrip()});
    artwork.bitmaps.push_back({Program::Updater, 101, DrawProgressSkin()});
    // Kept with the switch control; a GIF in its design, PNG here.
    artwork.designs.push_back({Program::Player, "an.Pic", FileFormat::Png, DrawSwitchSprite(), {}});
}

}  // namespace zem::artwork

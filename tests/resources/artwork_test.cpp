#include "resources/artwork_catalog.h"
#include "resources/embedded_source.h"
#include "resources/image_codecs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zem::artwork {
namespace {

class ArtworkTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        text_ = new TextPainter(ZEM_ARTWORK_FONT);
        artwork_ = new Artwork(DrawArtwork(*text_));
    }
    static void TearDownTestSuite() {
        delete artwork_;
        delete text_;
    }

    static const Canvas& Bitmap(Program program, int id) {
        for (const BitmapResource& bitmap : artwork_->bitmaps)
            if (bitmap.program == program && bitmap.id == id) return bitmap.picture;
        ADD_FAILURE() << "no bitmap " << id;
        return empty_;
    }
    static const DesignPicture* Design(Program program, const std::string& name) {
        for (const DesignPicture& design : artwork_->designs)
            if (design.program == program && design.name == name) return &design;
        return nullptr;
    }
    static const Canvas& DesignCanvas(Program program, const std::string& name) {
        const DesignPicture* design = Design(program, name);
        if (!design) {
            ADD_FAILURE() << "no design picture " << name;
            return empty_;
        }
        return design->sameAs.empty() ? design->picture : DesignCanvas(program, design->sameAs);
    }
    static const Canvas& Skin(const std::string& file) {
        for (const SkinPicture& skin : artwork_->skins)
            if (skin.fileName == file) return skin.picture;
        ADD_FAILURE() << "no skin picture " << file;
        return empty_;
    }

    static inline TextPainter* text_ = nullptr;
    static inline Artwork* artwork_ = nullptr;
    static inline const Canvas empty_;
};

int Brightness(Color color) { return color.red + color.green + color.blue; }

std::uint16_t Word(const FileBytes& bytes, std::size_t at) { return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8); }
std::int32_t Long(const FileBytes& bytes, std::size_t at) {
    return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

TEST_F(ArtworkTest, BitmapResourcesAre24BitBmpsOfTheirSizesAndSurviveTheRoundTrip) {
    struct Case { Program program; int id; int width; int height; };
    const Case cases[] = {{Program::Player, 101, 38, 12}, {Program::Player, 102, 168, 56},
                          {Program::Player, 103, 16, 130}, {Program::Updater, 101, 10, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const Canvas& picture = Bitmap(c.program, c.id);
        const FileBytes file = EncodeBmp24(picture);
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(Long(file, 18), c.width);
        EXPECT_EQ(Long(file, 22), c.height);  // positive: bottom-up rows, as the platform's bitmaps
        EXPECT_EQ(Word(file, 28), 24);
        const auto decoded = DecodeImage(file.data(), file.size());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->Pixels(), picture.Pixels());  // channel order and row order kept
    }
}

TEST_F(ArtworkTest, PlayListGlyphsLieInTheirCellsOnTheMagentaKey) {
    const Canvas& glyphs = Bitmap(Program::Player, 101);
    const Color key = FromColorRef(0xFF00FF);
    EXPECT_EQ(key, (Color{255, 0, 255, 255}));
    // Above the bullet and the delete mark, and the two columns between them, only the key.
    for (int x = 24; x < 38; ++x)
        for (int y = 0; y < 5; ++y) EXPECT_EQ(glyphs.At(x, y), key) << x << "," << y;
    for (int y = 0; y < 12; ++y) EXPECT_EQ(glyphs.At(28, y), key) << y;
    struct Probe { int x; int y; std::uint32_t colorRef; const char* what; };
    const Probe probes[] = {
        {0, 0, 0x3B3B3B, "collapsed frame"},   {2, 2, 0x262626, "collapsed fill"},
        {5, 3, 0x5C5A55, "plus upright"},      {3, 5, 0x5C5A55, "plus bar"},
        {12, 11, 0x3B3B3B, "expanded frame"},  {17, 3, 0x262626, "no upright in the minus"},
        {15, 6, 0x5C5A55, "minus bar"},        {24, 5, 0x0096FF, "bullet's top corner"},
        {27, 8, 0x0096FF, "bullet's tip"},     {27, 5, 0xFF00FF, "key beside the bullet"},
        {30, 5, 0x7E8183, "cross corner"},     {33, 8, 0x7E8183, "cross middle"},
        {37, 11, 0x7E8183, "cross corner"},    {33, 5, 0xFF00FF, "key inside the cross"},
    };
    for (const Probe& probe : probes) EXPECT_EQ(glyphs.At(probe.x, probe.y), FromColorRef(probe.colorRef)) << probe.what;
}

TEST_F(ArtworkTest, RowBackgroundsAreDarkAtTheEndsAndTheSelectedLookIsWarmer) {
    const Canvas& rows = Bitmap(Program::Player, 102);
    for (int top : {0, 28}) {
        SCOPED_TRACE(top);
        const Color end = rows.At(0, top + 14), middle = rows.At(84, top + 14);
        EXPECT_EQ(end, FromColorRef(0x2E2F2F));
        EXPECT_GT(Brightness(middle), Brightness(end));
        EXPECT_EQ(rows.At(60, top + 14), rows.At(107, top + 14));  // the stretched middle is flat
        EXPECT_EQ(rows.At(0, top + 14), rows.At(167, top + 14));   // the caps mirror each other
        EXPECT_GT(Brightness(rows.At(84, top)), Brightness(middle));       // lighter top line
        EXPECT_GT(Brightness(rows.At(84, top + 27)), Brightness(middle));  // and bottom line
    }
    EXPECT_EQ(rows.At(84, 14), FromColorRef(0x363B3D));
    EXPECT_EQ(rows.At(84, 42), FromColorRef(0x39464E));
}

TEST_F(ArtworkTest, ScrollStripLooksDifferWhereTheRowsTableSaysTheyLie) {
    const Canvas& strip = Bitmap(Program::Player, 103);
    // Rest, hover and pressed of each arrow (faces differ at a corner of the face),
    // and of the thumb (its middle rows).
    struct Looks { int rest; int hover; int pressed; int x; int y; };
    const Looks looks[] = {{0, 16, 32, 3, 3}, {82, 98, 114, 3, 3}, {52, 62, 72, 8, 4}};
    for (const Looks& part : looks) {
        SCOPED_TRACE(part.rest);
        const Color rest = strip.At(part.x, part.rest + part.y), hover = strip.At(part.x, part.hover + part.y),
                    pressed = strip.At(part.x, part.pressed + part.y);
        EXPECT_NE(rest, hover);
        EXPECT_NE(rest, pressed);
        EXPECT_NE(hover, pressed);
        EXPECT_LT(Brightness(pressed), Brightness(hover));
    }
    // The up arrows point up and the down arrows down: the arrow is wider near its base.
    auto arrowWidth = [&](int top, int row) {
        int count = 0;
        for (int x = 0; x < 16; ++x) count += Brightness(strip.At(x, top + row)) < 300;
        return count;
    };
    EXPECT_LT(arrowWidth(0, 6), arrowWidth(0, 9));
    EXPECT_GT(arrowWidth(82, 6), arrowWidth(82, 9));
    // Tracks are beige; the thumb is a blue bar with a beige edge.
    for (int row : {48, 49, 50, 51}) EXPECT_GT(strip.At(8, row).red, strip.At(8, row).blue) << row;
    EXPECT_GT(strip.At(8, 56).blue, strip.At(8, 56).red + 60);
    EXPECT_EQ(strip.At(0, 56), strip.At(8, 48));
}

TEST_F(ArtworkTest, SwitchSpriteShowsOnAndOffInThreeLooksEach) {
    const Canvas& sprite = DesignCanvas(Program::Player, "an.Pic");
    ASSERT_EQ(sprite.Width(), 99);
    ASSERT_EQ(sprite.Height(), 38);
    for (int look = 0; look < 3; ++look) {
        const int left = 33 * look;
        SCOPED_TRACE(look);
        // On: violet field at the left, white knob at the right. Off: the other way round.
        EXPECT_GT(sprite.At(left + 6, 9).blue, sprite.At(left + 6, 9).green + 60);
        EXPECT_EQ(sprite.At(left + 23 + 4, 9), Rgb(0xFFFFFF));
        EXPECT_EQ(sprite.At(left + 10 - 4, 19 + 9), Rgb(0xFFFFFF));
        const Color offField = sprite.At(left + 27, 19 + 9);
        EXPECT_LT(std::abs(offField.red - offField.blue), 12);  // grey
    }
    // The three looks of a state differ in the field's shade.
    struct Field { int x; int y; };
    for (const Field field : {Field{6, 9}, Field{27, 28}}) {
        EXPECT_NE(sprite.At(field.x, field.y), sprite.At(33 + field.x, field.y));
        EXPECT_NE(sprite.At(field.x, field.y), sprite.At(66 + field.x, field.y));
    }
}

TEST_F(ArtworkTest, ProgressSkinMatchesItsColourTable) {
    const Canvas& skin = Bitmap(Program::Updater, 101);
    struct Probe { int x; int y; std::uint32_t colorRef; };
    const Probe probes[] = {{0, 0, 0xF6F3EA}, {7, 0, 0xF6F3EA}, {2, 5, 0x68BD80}, {6, 2, 0xD8F2E4},
                            {8, 1, 0xFFFFFF}, {9, 7, 0xE8E6DE}, {0, 9, 0xF1ECE3}, {5, 9, 0xDAD0BE}};
    for (const Probe& probe : probes) EXPECT_EQ(skin.At(probe.x, probe.y), FromColorRef(probe.colorRef)) << probe.x << "," << probe.y;
    for (int y = 0; y < 10; ++y) EXPECT_EQ(skin.At(0, y), skin.At(7, y)) << y;
}

TEST_F(ArtworkTest, SkinFolderHoldsTheFourteenPicturesAtTheirSizes) {
    struct Case { const char* file; int width; int height; };
    const Case cases[] = {{"biaotilan.jpg", 2560, 100}, {"Z.jpg", 10, 100},   {"Y.jpg", 10, 100},
                          {"Close.jpg", 90, 80},        {"max-1.jpg", 90, 80}, {"min.jpg", 90, 80},
                          {"hp.jpg", 90, 80},           {"max-2.jpg", 90, 80}, {"bf.jpg", 321, 80},
                          {"pk.jpg", 321, 80},          {"lbl.jpg", 455, 43},  {"logo.jpg", 390, 80},
                          {"jp.jpg", 321, 80},          {"zb.jpg", 321, 80}};
    ASSERT_EQ(artwork_->skins.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Canvas& skin = Skin(c.file);
        EXPECT_EQ(skin.Width(), c.width);
        EXPECT_EQ(skin.Height(), c.height);
        const FileBytes jpeg = EncodeJpeg(skin);
        ASSERT_GE(jpeg.size(), 2u);
        EXPECT_EQ(jpeg[0], 0xFF);
        EXPECT_EQ(jpeg[1], 0xD8);
        const auto decoded = DecodeImage(jpeg.data(), jpeg.size());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->Width(), c.width);
    }
}

TEST_F(ArtworkTest, HeaderSpritesSitOnTheHeaderBackgroundAndTheirFramesDiffer) {
    // Caption buttons: frames of 30 at x 0, 30, 60; tabs: frames of 107 at x 0, 107, 214.
    struct Case { const char* file; int frameWidth; int probeX; int probeY; };
    const Case cases[] = {{"Close.jpg", 30, 4, 8},  {"max-1.jpg", 30, 4, 8}, {"min.jpg", 30, 4, 8},
                          {"hp.jpg", 30, 4, 8},     {"max-2.jpg", 30, 4, 8}, {"bf.jpg", 107, 14, 10},
                          {"pk.jpg", 107, 14, 10},  {"zb.jpg", 107, 14, 10}, {"jp.jpg", 107, 14, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Canvas& sprite = Skin(c.file);
        const Color normal = sprite.At(c.probeX, c.probeY), hover = sprite.At(c.frameWidth + c.probeX, c.probeY),
                    third = sprite.At(2 * c.frameWidth + c.probeX, c.probeY);
        EXPECT_NE(normal, hover);
        EXPECT_NE(normal, third);
        EXPECT_NE(hover, third);
        // Left edge of every frame, all the way down, is the header's own row colour (copied at y 20),
        // so a tab's first 7 columns, drawn over its left neighbour, leave no seam.
        for (int frame = 0; frame < 3; ++frame)
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < (c.frameWidth == 107 ? 7 : 1); ++x)
                    ASSERT_EQ(sprite.At(frame * c.frameWidth + x, y), HeaderBackground(y + 20)) << frame << "," << x << "," << y;
    }
    // The badge at the right end is drawn on the header rows 60 to 98 that it covers.
    const Canvas& badge = DesignCanvas(Program::Player, "Form1.hy");
    for (int y = 0; y < 39; ++y) EXPECT_EQ(badge.At(0, y), HeaderBackground(60 + y)) << y;
}

TEST_F(ArtworkTest, DesignPicturesHaveTheirWindowsSizes) {
    struct Case { Program program; const char* name; int width; int height; };
    const Case cases[] = {
        {Program::Player, "Form1.tupian", 460, 43},      {Program::Player, "Form1.Image19", 5800, 43},
        {Program::Player, "Form1.Picture7", 60, 45},     {Program::Player, "Form1.Image16", 63, 45},
        {Program::Player, "Form1.Image15", 350, 50},     {Program::Player, "Form1.Image12", 20, 128},
        {Program::Player, "Form1.Image13", 20, 128},     {Program::Player, "Form1.Image11", 10, 148},
        {Program::Player, "Form1.Image14", 5800, 43},    {Program::Player, "Form1.Picture9", 5800, 43},
        {Program::Player, "Form1.Picture8", 60, 43},     {Program::Player, "Form1.hy", 145, 39},
        {Program::Player, "Form1.Image18", 60, 43},      {Program::Player, "Form1.Image20", 60, 43},
        {Program::Player, "Form3.Image1", 400, 170},     {Program::Player, "yijian.Image1", 1000, 41},
        {Program::Player, "yijian.Image2", 8, 42},       {Program::Player, "yijian.Image4", 96, 41},
        {Program::Player, "shezhitip.Image1", 390, 270}, {Program::Player, "shezhigy.Image1", 390, 270},
        {Program::Updater, "Form1.Image1", 550, 402},    {Program::Updater, "Form1.Image2", 8, 8},
        {Program::Updater, "Form1.Image5", 8, 8},        {Program::Updater, "Form1.Image8", 100, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Canvas& picture = DesignCanvas(c.program, c.name);
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
    }
    for (const char* window : {"shezhitip", "shezhigy"})
        for (int image = 2; image <= 7; ++image) {
            const std::string name = std::string(window) + ".Image" + std::to_string(image);
            const Canvas& picture = DesignCanvas(Program::Player, name);
            EXPECT_EQ(picture.Width(), image <= 4 ? 118 : 38) << name;
            EXPECT_EQ(picture.Height(), image <= 4 ? 64 : 26) << name;
        }
    for (int image = 2; image <= 10; ++image) EXPECT_NE(Design(Program::Updater, "Form1.Image" + std::to_string(image)), nullptr) << image;
}

TEST_F(ArtworkTest, SpriteFramesAndPointerPicturesDiffer) {
    struct Frames { const char* name; int frameWidth; int frames; int probeX; int probeY; };
    const Frames cases[] = {{"Form1.Image16", 21, 3, 3, 14},  {"Form1.Image12", 10, 2, 4, 50},
                            {"Form1.Image13", 10, 2, 4, 50},  {"yijian.Image4", 32, 3, 11, 15}};
    for (const Frames& c : cases) {
        SCOPED_TRACE(c.name);
        const Canvas& sprite = DesignCanvas(Program::Player, c.name);
        std::set<std::tuple<int, int, int>> looks;
        for (int frame = 0; frame < c.frames; ++frame) {
            const Color color = sprite.At(frame * c.frameWidth + c.probeX, c.probeY);
            looks.insert({color.red, color.green, color.blue});
        }
        EXPECT_EQ(looks.size(), static_cast<std::size_t>(c.frames));
    }
    struct Pair { Program program; const char* rest; const char* pointer; };
    const Pair pairs[] = {{Program::Player, "shezhitip.Image3", "shezhitip.Image4"}, {Program::Player, "shezhitip.Image6", "shezhitip.Image7"},
                          {Program::Player, "shezhigy.Image3", "shezhigy.Image4"},   {Program::Player, "shezhigy.Image6", "shezhigy.Image7"},
                          {Program::Player, "Form1.Image20", "Form1.Image18"},       {Program::Updater, "Form1.Image3", "Form1.Image4"},
                          {Program::Updater, "Form1.Image6", "Form1.Image7"},        {Program::Updater, "Form1.Image9", "Form1.Image10"}};
    for (const Pair& pair : pairs)
        EXPECT_NE(DesignCanvas(pair.program, pair.rest).Pixels(), DesignCanvas(pair.program, pair.pointer).Pixels()) << pair.rest;
    // A picture shown at first is its window's rest picture.
    EXPECT_EQ(&DesignCanvas(Program::Player, "shezhitip.Image2"), &DesignCanvas(Program::Player, "shezhitip.Image3"));
    EXPECT_EQ(&DesignCanvas(Program::Updater, "Form1.Image8"), &DesignCanvas(Program::Updater, "Form1.Image9"));
}

TEST_F(ArtworkTest, EveryDesignPictureEncodesInItsFormat) {
    std::set<std::pair<Program, std::string>> names;
    for (const DesignPicture& design : artwork_->designs) {
        SCOPED_TRACE(design.name);
        EXPECT_TRUE(names.insert({design.program, design.name}).second) << "twice";
        if (!design.sameAs.empty()) {
            const DesignPicture* target = Design(design.program, design.sameAs);
            ASSERT_NE(target, nullptr);
            EXPECT_TRUE(target->sameAs.empty());
            continue;
        }
        const FileBytes file = EncodeDesign(design);
        ASSERT_GT(file.size(), 8u);
        switch (design.format) {
            case FileFormat::Bmp24: EXPECT_EQ(file[0], 'B'); EXPECT_EQ(Word(file, 28), 24); break;
            case FileFormat::Jpeg: EXPECT_EQ(file[0], 0xFF); EXPECT_EQ(file[1], 0xD8); break;
            case FileFormat::Png: EXPECT_EQ(file[1], 'P'); EXPECT_EQ(file[2], 'N'); break;
        }
        const auto decoded = DecodeImage(file.data(), file.size());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->Width(), design.picture.Width());
        EXPECT_EQ(decoded->Height(), design.picture.Height());
    }
}

TEST_F(ArtworkTest, DrawingIsDeterministic) {
    const Artwork again = DrawArtwork(*text_);
    ASSERT_EQ(again.designs.size(), artwork_->designs.size());
    EXPECT_EQ(EmbeddedSource(again, Program::Player), EmbeddedSource(*artwork_, Program::Player));
    ASSERT_EQ(again.skins.size(), artwork_->skins.size());
    for (std::size_t i = 0; i < again.skins.size(); ++i)
        EXPECT_EQ(again.skins[i].picture.Pixels(), artwork_->skins[i].picture.Pixels()) << again.skins[i].fileName;
}

}  // namespace
}  // namespace zem::artwork

// The player's embedded table, registered before main by the generated source.
#include "platform/base/resources.h"
#include "resources/image_codecs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::optional<zem::artwork::Canvas> Decode(std::span<const unsigned char> bytes) {
    return zem::artwork::DecodeImage(bytes.data(), bytes.size());
}

TEST(PlayerResources, BitmapsAreRegisteredByIdAs24BitBmps) {
    struct Case { int id; int width; int height; };
    for (const Case& c : {Case{101, 38, 12}, Case{102, 168, 56}, Case{103, 16, 130}}) {
        SCOPED_TRACE(c.id);
        const auto bytes = zem::platform::FindProgramResource(c.id);
        ASSERT_TRUE(bytes);
        ASSERT_GT(bytes->size(), 30u);
        EXPECT_EQ((*bytes)[0], 'B');
        EXPECT_EQ((*bytes)[28], 24);
        const auto picture = Decode(*bytes);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Width(), c.width);
        EXPECT_EQ(picture->Height(), c.height);
    }
    EXPECT_FALSE(zem::platform::FindProgramResource(104));
    EXPECT_EQ(Decode(*zem::platform::FindProgramResource(101))->At(30, 0), (zem::artwork::Color{255, 0, 255, 255}));
}

TEST(PlayerResources, DesignPicturesAreRegisteredByName) {
    struct Case { const char* name; int width; int height; };
    const Case cases[] = {{"Form1.Image16", 63, 45}, {"Form1.Picture9", 5800, 43}, {"an.Pic", 99, 38},
                          {"yijian.Image4", 96, 41}, {"shezhitip.Image2", 118, 64}, {"shezhigy.Image1", 390, 270}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = zem::platform::FindProgramResource(std::string(c.name));
        ASSERT_TRUE(bytes);
        const auto picture = Decode(*bytes);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->Width(), c.width);
        EXPECT_EQ(picture->Height(), c.height);
    }
    // A picture shown at first shares the bytes of its rest picture.
    EXPECT_EQ(zem::platform::FindProgramResource("shezhitip.Image2")->data(),
              zem::platform::FindProgramResource("shezhitip.Image3")->data());
    EXPECT_FALSE(zem::platform::FindProgramResource("Form1.Image9"));  // the updater's, not ours
}

// The window's design icon (the icon file's five sizes) and the toggle's
// custom pointer (one 32-pixel image) are ICO file images.
TEST(PlayerResources, TheDesignIconAndTheTogglesPointerAreIconFiles) {
    struct Case { const char* name; unsigned images; unsigned firstSide; };
    for (const Case& c : {Case{"Form1.Icon", 5, 64}, Case{"Form1.Picture4.MouseIcon", 1, 32}}) {
        SCOPED_TRACE(c.name);
        const auto bytes = zem::platform::FindProgramResource(std::string(c.name));
        ASSERT_TRUE(bytes);
        ASSERT_GT(bytes->size(), 22u);
        EXPECT_EQ((std::vector<unsigned char>(bytes->begin(), bytes->begin() + 6)),
                  (std::vector<unsigned char>{0, 0, 1, 0, static_cast<unsigned char>(c.images), 0}));
        EXPECT_EQ((*bytes)[6], c.firstSide);
    }
}

}  // namespace

// The updater's embedded table: its progress skin and its window's pictures only.
#include "platform/base/resources.h"
#include "resources/image_codecs.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdaterResources, RegistersTheProgressSkinAndTheWindowPictures) {
    const auto skin = zem::platform::FindProgramResource(101);
    ASSERT_TRUE(skin);
    const auto picture = zem::artwork::DecodeImage(skin->data(), skin->size());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 10);
    EXPECT_EQ(picture->Height(), 10);
    EXPECT_EQ(picture->At(2, 5), zem::artwork::FromColorRef(0x68BD80));
    EXPECT_FALSE(zem::platform::FindProgramResource(102));
    EXPECT_FALSE(zem::platform::FindProgramResource(103));

    for (const char* name : {"Form1.Image1", "Form1.Image3", "Form1.Image4", "Form1.Image9", "Form1.Image10"}) {
        const auto bytes = zem::platform::FindProgramResource(name);
        ASSERT_TRUE(bytes) << name;
        EXPECT_TRUE(zem::artwork::DecodeImage(bytes->data(), bytes->size())) << name;
    }
    EXPECT_FALSE(zem::platform::FindProgramResource("Form1.Image16"));  // the player's

    // The window's design icon: the icon file's five sizes.
    const auto icon = zem::platform::FindProgramResource("Form1.Icon");
    ASSERT_TRUE(icon);
    ASSERT_GT(icon->size(), 6u);
    EXPECT_EQ((*icon)[2], 1);
    EXPECT_EQ((*icon)[4], 5);
    EXPECT_FALSE(zem::platform::FindProgramResource("Form1.Picture4.MouseIcon"));  // the player's
}

}  // namespace

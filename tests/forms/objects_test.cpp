// Font objects, property bags, design pictures and the control class registry.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "platform/base/resources.h"
#include "platform/forms/control.h"
#include "platform/forms/picture.h"
#include "platform/forms/control_registry.h"
#include "platform/forms/property_bag.h"
#include "platform/forms/runtime_error.h"
#include "platform/forms/std_font.h"

using namespace zem::forms;

TEST(StdFontTest, ChangesNotifyListenersWithThePropertyName) {
    FontRef font = StdFont::Create("宋体", 9, 134);
    std::vector<std::string> changes;
    auto connection = font->OnFontChanged([&](const std::string& name) { changes.push_back(name); });
    font->SetName("微软雅黑");
    font->SetSize(10.5);
    font->SetBold(true);
    font->SetItalic(true);
    font->SetUnderline(true);
    font->SetStrikethrough(true);
    font->SetCharset(1);
    font->SetSize(10.5);  // unchanged: no notification
    EXPECT_EQ(changes, (std::vector<std::string>{"Name", "Size", "Weight", "Bold", "Italic", "Underline",
                                                 "Strikethrough", "Charset"}));
    EXPECT_EQ(font->Weight(), 700);
    EXPECT_DOUBLE_EQ(font->Size(), 10.5);
    connection.Disconnect();
    font->SetWeight(400);
    EXPECT_EQ(changes.size(), 8u);
    EXPECT_FALSE(font->Bold());
}

TEST(StdFontTest, ConnectionEndsWithItsOwnerAndMayOutliveTheFont) {
    int calls = 0;
    StdFont::Connection survivor;
    {
        FontRef font = StdFont::Create();
        {
            auto scoped = font->OnFontChanged([&](const std::string&) { ++calls; });
            font->SetItalic(true);
        }
        font->SetItalic(false);
        survivor = font->OnFontChanged([&](const std::string&) { ++calls; });
    }
    survivor.Disconnect();  // the font is gone: nothing to do
    EXPECT_EQ(calls, 1);
}

TEST(PropertyBagTest, DefaultsAreNotWrittenAndMissingKeysReadAsDefaults) {
    PropertyBag bag;
    bag.WriteProperty("BackColor", std::int32_t{0x404040}, std::int32_t{0x2E2E2E});
    bag.WriteProperty("ForeColor", std::int32_t{0x969696}, std::int32_t{0x969696});
    bag.WriteProperty("Valve", false, false);
    EXPECT_TRUE(bag.Contains("BackColor"));
    EXPECT_FALSE(bag.Contains("ForeColor"));
    EXPECT_FALSE(bag.Contains("Valve"));
    EXPECT_EQ(bag.ReadInt("BackColor", 0x2E2E2E), 0x404040);
    EXPECT_EQ(bag.ReadInt("ForeColor", 0x969696), 0x969696);
    EXPECT_FALSE(bag.ReadBool("Valve", false));
    bag.WriteProperty("BackColor", std::int32_t{0x2E2E2E}, std::int32_t{0x2E2E2E});
    EXPECT_FALSE(bag.Contains("BackColor")) << "writing the default drops a stale value";
    bag.WriteProperty("Caption", std::string("x"));
    EXPECT_THROW(bag.ReadInt("Caption", 0), RuntimeError);
}

TEST(PropertyBagTest, FontsAreSavedAndRestoredAsCopies) {
    FontRef ambient = StdFont::Create("宋体", 9, 134);
    FontRef listFont = StdFont::Create("宋体", 9, 134);
    PropertyBag bag;
    bag.WriteProperty("Font", listFont, ambient);
    EXPECT_FALSE(bag.Contains("Font")) << "same description as the default";
    listFont->SetSize(12);
    bag.WriteProperty("Font", listFont, ambient);
    listFont->SetSize(20);  // a later change does not reach the saved copy
    FontRef first = bag.ReadFont("Font", ambient);
    FontRef second = bag.ReadFont("Font", ambient);
    EXPECT_DOUBLE_EQ(first->Size(), 12);
    EXPECT_NE(first, second);
    EXPECT_NE(bag.ReadFont("Other", ambient), ambient);
}

TEST(ControlRegistryTest, UnknownIdentifierRaisesError429) {
    RegisterControlClass("Velisto.Test", [](Container&, const std::string&) { return std::unique_ptr<Control>(); });
    EXPECT_TRUE(IsControlClassRegistered("Velisto.Test"));
    EXPECT_FALSE(IsControlClassRegistered("velisto.test"));
    try {
        ControlFactoryFor("Velisto.Missing");
        FAIL();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 429);
    }
}

// A 2 x 1 24-bit BMP file image: a red and a blue pixel.
std::string TwoPixelBitmap() {
    std::string file(54, '\0');
    const auto put = [&file](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, 54 + 8, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, 2, 4);
    put(22, 1, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    file += std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);  // blue-green-red order, row padded to 4
    return file;
}

TEST(DesignPictureTest, FoundByNameNullWhenMissingAndError481WhenUnreadable) {
    const std::string good = TwoPixelBitmap();
    const std::string bad = "not a picture";
    const std::array<zem::platform::EmbeddedResource, 2> table{{
        {0, reinterpret_cast<const unsigned char*>(good.data()), good.size(), "Test.Image1"},
        {0, reinterpret_cast<const unsigned char*>(bad.data()), bad.size(), "Test.Broken"},
    }};
    zem::platform::RegisterProgramResources(table);
    const PictureRef picture = DesignPicture("Test.Image1");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 2);
    EXPECT_EQ(picture->Height(), 1);
    EXPECT_EQ(DesignPicture("Test.Missing"), nullptr);
    try {
        DesignPicture("Test.Broken");
        ADD_FAILURE() << "no error for an unreadable picture";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), errInvalidPicture);
    }
    zem::platform::ClearProgramResources();
}

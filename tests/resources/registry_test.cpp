#include "platform/base/resources.h"

#include <gtest/gtest.h>

#include <array>

namespace zem::platform {
namespace {

const unsigned char kFirst[] = {1, 2, 3};
const unsigned char kSecond[] = {4, 5};

class ResourceRegistryTest : public testing::Test {
protected:
    void SetUp() override { ClearProgramResources(); }
    void TearDown() override { ClearProgramResources(); }
};

TEST_F(ResourceRegistryTest, FindsNumberedAndNamedResourcesApart) {
    const std::array<EmbeddedResource, 2> table{{{.id = 101, .data = kFirst, .size = sizeof kFirst},
                                                 {.data = kSecond, .size = sizeof kSecond, .name = "Form1.Image16"}}};
    RegisterProgramResources(table);
    ASSERT_TRUE(FindProgramResource(101));
    EXPECT_EQ(FindProgramResource(101)->size(), 3u);
    ASSERT_TRUE(FindProgramResource("Form1.Image16"));
    EXPECT_EQ(FindProgramResource("Form1.Image16")->data(), kSecond);
    EXPECT_FALSE(FindProgramResource(0));  // a named entry takes no number
    EXPECT_FALSE(FindProgramResource(102));
    EXPECT_FALSE(FindProgramResource("Form1.Image1"));
    EXPECT_FALSE(FindProgramResource("form1.image16"));  // names match exactly
}

TEST_F(ResourceRegistryTest, ALaterTableReplacesAndClearingForgets) {
    const std::array<EmbeddedResource, 2> first{{{.id = 101, .data = kFirst, .size = sizeof kFirst},
                                                 {.data = kFirst, .size = sizeof kFirst, .name = "an.Pic"}}};
    const std::array<EmbeddedResource, 2> second{{{.id = 101, .data = kSecond, .size = sizeof kSecond},
                                                  {.data = kSecond, .size = sizeof kSecond, .name = "an.Pic"}}};
    RegisterProgramResources(first);
    RegisterProgramResources(second);
    EXPECT_EQ(FindProgramResource(101)->data(), kSecond);
    EXPECT_EQ(FindProgramResource("an.Pic")->data(), kSecond);
    ClearProgramResources();
    EXPECT_FALSE(FindProgramResource(101));
    EXPECT_FALSE(FindProgramResource("an.Pic"));
}

}  // namespace
}  // namespace zem::platform

// The play schemes: the substring tests on the lowered address, the scheme a
// request carries (the last of the table it holds), and the conversion that
// lowers the whole text before each scheme's pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/play_schemes.h"

namespace zem::player {
namespace {

constexpr const char* kBase = "http://127.0.0.1:8080";

TEST(PlaySchemesTest, RecognisesEverySchemeAnywhereInAnyCaseAndPicksTheLastOfTheTable) {
    struct Case {
        std::string url;
        bool isPlay;
        std::string scheme;
    };
    const std::vector<Case> cases = {
        {"qvodplay://a", true, "qvodplay://"},
        {"QVODPLAY://A", true, "qvodplay://"},
        {"bdhdplay://a", true, "bdhdplay://"},
        {"QiYiPlay://a", true, "qiyiplay://"},
        {"youkuplay://a", true, "youkuplay://"},
        {"tudouplay://a", true, "tudouplay://"},
        {"cmpplay://a", true, "cmpplay://"},
        {"ckplayerplay://a", true, "ckplayerplay://"},
        {"FLVPLAY://a", true, "flvplay://"},
        {"http://host/page?x=qvodplay://a", true, "qvodplay://"},
        {"flvplay://a qvodplay://b", true, "flvplay://"},
        {"qvodplay://a bdhdplay://b", true, "bdhdplay://"},
        {"gbook://qvodplay://x", true, "qvodplay://"},
        {"play://vant/", false, ""},
        {"qvodplay:/a", false, ""},
        {"gbook://open", false, ""},
        {"", false, ""},
        {std::string("qvod\0play://a", 13), false, ""},
        {std::string("\xff\xfeqvodplay://a\xc3"), true, "qvodplay://"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPlayUrl(c.url), c.isPlay) << c.url;
        EXPECT_EQ(GetPlayScheme(c.url), c.scheme) << c.url;
    }
}

TEST(PlaySchemesTest, ConversionLowersTheWholeTextBeforeEveryPass) {
    struct Case {
        std::string url;
        std::string base;
        std::string converted;
    };
    const std::vector<Case> cases = {
        {"qvodplay:///vant/bofang/1.html", kBase, "http://127.0.0.1:8080/vant/bofang/1.html"},
        // Capitals anywhere come out lowered, the base address included when a
        // later pass follows its insertion.
        {"QVODPLAY:///Vant/A.html", "http://Host:1", "http://host:1/vant/a.html"},
        {"bdhdplay://x", "HTTP://BIG", "http://bigx"},
        // The last scheme's pass is the last lowering: its base keeps its capitals.
        {"flvplay://x", "HTTP://BIG", "HTTP://BIGx"},
        {"qvodplay://a|flvplay://b", "HTTP://BIG", "http://biga|HTTP://BIGb"},
        {"qvodplay://a qvodplay://b", "B", "ba bb"},
        {"http://plain/Page", kBase, "http://plain/page"},
        {"qvodplay://a", "", "a"},
        // A base holding a later scheme is converted again by that scheme's pass.
        {"qvodplay://x", "flvplay://", "flvplay://x"},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertPlayUrl(c.url, c.base), c.converted) << c.url;
}

TEST(PlaySchemesTest, AHundredKilobyteAddressConvertsWhole) {
    std::string url;
    for (int repeat = 0; repeat < 10000; ++repeat) url += "QvodPlay://";  // 110 KB
    const std::string converted = ConvertPlayUrl(url, "B");
    EXPECT_EQ(converted, std::string(10000, 'b'));
    EXPECT_TRUE(IsPlayUrl(url));
}

}  // namespace
}  // namespace zem::player

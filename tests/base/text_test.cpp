#include "platform/base/text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zem::platform {
namespace {

TEST(GbkConversion, RoundTripsAndMarksWhatGbkCannotHold) {
    struct Case {
        std::string utf8;
        std::string gbk;
        std::string back;  // what GbkToUtf8 gives for `gbk`
    };
    const Case cases[] = {
        {"", "", ""},
        {"Version=1.3", "Version=1.3", "Version=1.3"},
        {"中文", "\xD6\xD0\xCE\xC4", "中文"},
        {"a\xF0\x9F\x98\x80" "b", "a?b", "a?b"},         // an emoji GBK lacks
        {"x\xFFy\xC3", "x?y?", "x?y?"},                   // malformed UTF-8 bytes
        {"\xED\xA0\x80", "???", "???"},                   // an encoded surrogate is malformed
        {"5\xE2\x82\xAC", "5\x80", "5\xE2\x82\xAC"},     // the euro sign is the code page's 0x80
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
        EXPECT_EQ(GbkToUtf8(c.gbk), c.back);
    }
}

// What the programs write they read back: every character of the Basic
// Multilingual Plane that GBK holds.
TEST(GbkConversion, EveryCharacterGbkHoldsReadsBackAsItself) {
    int held = 0;
    for (char32_t code = 1; code < 0x10000; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        std::string utf8;
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
        const std::string gbk = Utf8ToGbk(utf8);
        if (gbk == "?" && code != '?') continue;
        ++held;
        EXPECT_EQ(GbkToUtf8(gbk), utf8) << "U+" << std::hex << static_cast<unsigned>(code);
    }
    EXPECT_GT(held, 20000);
}

TEST(GbkConversion, DecodesAsGb18030AndNeverYieldsGarbage) {
    struct Case {
        std::string gbk;
        std::string utf8;
    };
    const Case cases[] = {
        {"\x81\x30\x81\x30", "\xC2\x80"},               // a four-byte sequence
        {"\xD6\xD0\xCE", "中"},                          // cut after a lead byte: half dropped
        {"\xD6\xD0\x81\x30\x81", "中"},                  // cut inside a four-byte sequence
        {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},              // a byte that starts nothing
        {"\x80" "a\x80", "\xE2\x82\xAC" "a\xE2\x82\xAC"},  // 0x80 alone, first and last: the euro sign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
    }
}

TEST(Characters, CountAndSubstringWorkOnCodePoints) {
    EXPECT_EQ(CountCharacters(""), 0u);
    EXPECT_EQ(CountCharacters("abc"), 3u);
    EXPECT_EQ(CountCharacters("中文a"), 3u);
    EXPECT_EQ(CountCharacters("\xF0\x9F\x98\x80"), 1u);
    EXPECT_EQ(CountCharacters("a\xFF"), 2u);

    struct Case {
        std::string text;
        std::size_t first;
        std::size_t count;
        std::string expected;
    };
    const Case cases[] = {
        {"== 1.3\r\n", 3, 3, "1.3"},
        {"== 1.", 3, 3, "1."},     // fewer when the text ends sooner
        {"版本号1.3", 1, 2, "本号"},
        {"abc", 5, 1, ""},
        {"abc", 1, std::string::npos, "bc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SubstringCharacters(c.text, c.first, c.count), c.expected);
    }
}

TEST(ToLower, LowersEveryLetterAndNothingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"QvodPlay://ABC/Def?X=1", "qvodplay://abc/def?x=1"},
        {"ÀÉÖ", "àéö"},
        {"ΑΒΓ Дж", "αβγ дж"},
        {"ＡＢ", "ａｂ"},
        {"中文123", "中文123"},
        {"A\xFF" "B", "a\xFF" "b"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ToLower(text), expected) << text;
}

TEST(FindText, FindsExactlyFromTheGivenOffset) {
    EXPECT_EQ(FindText("ab== 1.3 == 2", "== "), 2u);
    EXPECT_EQ(FindText("ab== 1.3 == 2", "== ", 3), 9u);
    EXPECT_EQ(FindText("abc", "B"), std::string_view::npos);
    EXPECT_EQ(FindText("abc", "", 1), 1u);
    EXPECT_EQ(FindText("abc", "a", 4), std::string_view::npos);
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
    struct Case {
        std::string text, sought, replacement, expected;
    };
    const Case cases[] = {
        {"aaa", "aa", "b", "ba"},
        {"a.b.c", ".", "..", "a..b..c"},
        {"xyx", "x", "", "y"},
        {"abc", "", "x", "abc"},
        {"qvodplay://a qvodplay://b", "qvodplay://", "http://h/", "http://h/a http://h/b"},
        {"", "a", "b", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.sought, c.replacement), c.expected) << c.text;
    }
}

TEST(Split, KeepsEmptyFieldsAndHasNoLimit) {
    struct Case {
        std::string text, separator;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"1.3###shengji###", "###", {"1.3", "shengji", ""}},
        {"a###b###c###d", "###", {"a", "b", "c", "d"}},
        {"##", "#", {"", "", ""}},
        {"no separator", "###", {"no separator"}},
        {"abc", "", {"abc"}},
        {"", "#", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Split(c.text, c.separator), c.fields) << c.text;
}

TEST(CompareOrdinal, FirstDifferenceDecidesAndAPrefixIsLess) {
    struct Case {
        std::string left, right;
        int expected;
    };
    const Case cases[] = {
        {"1.2", "1.3", -1}, {"1.3", "1.3", 0},  {"1.3", "1.3.1", -1}, {"", "1.0", -1},
        {"2.0", "10", 1},   {"Z", "a", -1},     {"中", "a", 1},       {"a", "", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareOrdinal(c.left, c.right), c.expected) << c.left << " vs " << c.right;
    }
}

TEST(TextToBoolean, TakesTrueFalseInAnyCaseAndNumbers) {
    const std::pair<std::string, std::optional<bool>> cases[] = {
        {"True", true},   {"TRUE", true},      {"false", false},    {" fAlSe ", false},
        {"1", true},      {"-1", true},        {"0", false},        {"0.0", false},
        {"+2.5", true},   {"1e3", true},       {"", std::nullopt},  {"   ", std::nullopt},
        {"yes", std::nullopt}, {"inf", std::nullopt}, {"1x", std::nullopt}, {"Truee", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(TextToBoolean(text), expected) << text;
}

}  // namespace
}  // namespace zem::platform

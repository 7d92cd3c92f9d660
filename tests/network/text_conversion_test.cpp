#include "platform/base/text.h"
#include "platform/network/text_conversion.h"

#include <gtest/gtest.h>

namespace {

using zem::platform::GbkToUtf8;
using zem::platform::NetworkUtf16FromUtf8;

TEST(GbkToUtf8, ConvertsGbkAndReplacesWhatIsNotGbk) {
    struct Case {
        std::string gbk;
        std::string utf8;
    };
    const Case cases[] = {
        {"", ""},
        {"== 1.3\r\n", "== 1.3\r\n"},
        {"\xD6\xD0\xCE\xC4", "中文"},
        {"\xBC\xEC\xB2\xE2\xB5\xBD\xB8\xFC\xD0\xC2", "检测到更新"},
        {"\x81\x40", "丂"},  // a second byte in the ASCII range
        {"a\xFF"
         "b",
         "a\xEF\xBF\xBD"
         "b"},                         // not a GBK byte
        {"ok\xD6", "ok"},  // a character cut off at the end is dropped
    };
    for (const auto& item : cases) EXPECT_EQ(GbkToUtf8(item.gbk), item.utf8) << item.utf8;
}

TEST(NetworkUtf16FromUtf8, DecodesEveryLengthAndReplacesMalformedBytes) {
    EXPECT_EQ(NetworkUtf16FromUtf8("http://a/b"), u"http://a/b");
    EXPECT_EQ(NetworkUtf16FromUtf8("中文é"), u"中文é");
    EXPECT_EQ(NetworkUtf16FromUtf8("\xF0\x9F\x8E\xAC"), u"\U0001F3AC");
    EXPECT_EQ(NetworkUtf16FromUtf8("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(NetworkUtf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(NetworkUtf16FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // a surrogate
}

}  // namespace

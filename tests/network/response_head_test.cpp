#include "platform/network/response_head.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zem::platform::ResponseHead;

// Whether an answer marks its body's end, for heads no test server sends
// (later protocol versions, redirect steps, mixed codings).
TEST(ResponseHead, TellsWhetherTheAnswerMarksItsBodysEnd) {
    struct Case {
        std::vector<std::string> lines;
        bool delimited;
        long long length;
    };
    const Case cases[] = {
        {{"HTTP/1.1 200 OK", "Content-Length: 10"}, true, 10},
        {{"HTTP/1.1 200 OK", "content-length:  0 "}, true, 0},
        {{"HTTP/1.1 200 OK", "Server: x"}, false, -1},
        {{"HTTP/1.1 200 OK", "Transfer-Encoding: gzip, Chunked"}, true, -1},
        {{"HTTP/1.1 200 OK", "Transfer-Encoding: chunked, gzip"}, false, -1},
        {{"HTTP/1.1 200 OK", "Transfer-Encoding: chunked", "Transfer-Encoding: gzip"}, false, -1},
        {{"HTTP/2 200"}, true, -1},
        {{"HTTP/1.1 204 No Content"}, true, -1},
        {{"HTTP/1.1 302 Found", "Content-Length: 5", "Transfer-Encoding: chunked", "HTTP/1.0 200 OK"}, false, -1},
    };
    for (const Case& item : cases) {
        ResponseHead head;
        std::string trace;
        for (const std::string& line : item.lines) {
            head.Read(line + "\r\n");
            trace += line + " | ";
        }
        SCOPED_TRACE(trace);
        EXPECT_EQ(head.Delimited(), item.delimited);
        EXPECT_EQ(head.AnnouncedLength(), item.length);
        EXPECT_FALSE(head.Contradictory());
    }
}

}  // namespace

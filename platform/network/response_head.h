// What the head of an HTTP answer says about where its body ends.
#pragma once

#include <cstdint>
#include <string_view>

namespace zem::platform {

// Reads the head line by line as the transfer library hands it over; a
// status line (each redirect step, each interim answer) starts anew.
class ResponseHead {
public:
    void Read(std::string_view line);

    // The one length the head announced, or -1 when it announced none.
    std::int64_t AnnouncedLength() const { return announced_; }
    // A length that is no number, or two that differ: the body cannot be trusted.
    bool Contradictory() const { return contradictory_; }
    // Whether the answer itself marks the body's end: a length, a chunked
    // body, a stream of HTTP/2 or later, or a status that has no body.
    // Otherwise only the connection's end ends the body, and a body cut
    // short cannot be told from a complete one.
    bool Delimited() const;

private:
    void ReadStatusLine(std::string_view line);
    void ReadLengths(std::string_view values);
    void ReadTransferCodings(std::string_view values);

    int versionMajor_ = 1;
    int status_ = 0;
    std::int64_t announced_ = -1;
    bool contradictory_ = false;
    bool chunked_ = false;
};

}  // namespace zem::platform

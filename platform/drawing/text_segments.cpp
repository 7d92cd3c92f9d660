#include "platform/drawing/text_segments.h"

#include "platform/base/text.h"

#include <algorithm>

namespace zem::platform::drawing_text {

std::size_t GbkSegments::AppendFront(std::size_t from, std::size_t to, std::string& utf8) const {
    return AppendGbkAsUtf8(Bytes().substr(from, to - from), utf8);
}

void GbkSegments::AppendEnd(std::size_t from, std::string& utf8) const { AppendGbkAsUtf8(Bytes().substr(from), utf8); }

std::size_t GbkSegments::StartBefore(std::size_t at, std::size_t reach) const {
    return GbkStartBefore(Bytes(), at, reach);
}

// Utf8ToGbk takes a well-formed sequence whole and a malformed byte alone, so
// a byte that is no continuation byte always starts what it takes, as does a
// position after three continuation bytes (no sequence reaches past its lead
// and three more), and a cut there converts as the whole text does.
bool Utf8AsGbkSegments::SureStart(std::size_t at) const {
    if (at == 0 || at >= Bytes().size() || !Continuation(at)) return true;
    for (std::size_t before = at; before > 0 && before + 3 > at; --before)
        if (!Continuation(before - 1)) return false;
    return true;
}

std::size_t Utf8AsGbkSegments::AppendFront(std::size_t from, std::size_t to, std::string& utf8) const {
    std::size_t end = to;
    while (end > from && !SureStart(end)) --end;
    AppendGbkAsUtf8(Utf8ToGbk(Bytes().substr(from, end - from)), utf8);
    return end - from;
}

void Utf8AsGbkSegments::AppendEnd(std::size_t from, std::string& utf8) const {
    AppendGbkAsUtf8(Utf8ToGbk(Bytes().substr(from)), utf8);
}

std::size_t Utf8AsGbkSegments::StartBefore(std::size_t at, std::size_t reach) const {
    at = std::min(at, Bytes().size());
    const std::size_t floor = at > reach ? at - reach : 0;
    for (std::size_t position = at;; --position) {
        if (SureStart(position)) return position;
        if (position == floor) return std::string_view::npos;
    }
}

}  // namespace zem::platform::drawing_text

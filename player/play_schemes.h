// The URL schemes the content server's pages use to talk to the player: the
// eight play schemes, the tests on an address, and the conversion of a play
// request into an address on the content server.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zem::player {

// The play schemes in table order; the order decides which scheme a request
// carries when it holds several, and the order of the conversion's passes.
inline constexpr std::array<std::string_view, 8> PlaySchemes{
    "qvodplay://", "bdhdplay://", "qiyiplay://",      "youkuplay://",
    "tudouplay://", "cmpplay://", "ckplayerplay://", "flvplay://"};

// The other schemes of the pages.
inline constexpr std::string_view GbookScheme = "gbook://";
inline constexpr std::string_view CloseScheme = "colse://";
inline constexpr std::string_view EndScheme = "end://";
inline constexpr std::string_view ChannelPlayScheme = "play://";

// Whether the lower-cased address contains `scheme` anywhere (a substring
// test, not a prefix test).
bool HasScheme(std::string_view url, std::string_view scheme);

// True when the lower-cased address contains one of the play schemes.
bool IsPlayUrl(std::string_view url);

// The last play scheme, in table order, that the lower-cased address
// contains; "" when it contains none.
std::string GetPlayScheme(std::string_view url);

// For each play scheme in table order: the whole text is lower-cased again,
// then every occurrence of the scheme is replaced by the base address. A base
// address put in by an earlier pass is lowered by the later ones.
std::string ConvertPlayUrl(std::string_view url, std::string_view baseAddress);

}  // namespace zem::player

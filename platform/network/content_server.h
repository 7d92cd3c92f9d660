// Where the content server lies and the paths the programs use on it.
// Every address is one of two roots followed by a path, joined as text: the
// fixed host (configuration) or the base address the version text publishes.
#pragma once

#include <string>
#include <string_view>

namespace zem::content_server {

// Paths on the fixed host.
inline constexpr std::string_view kVersionTextPath = "/vant/app/wen.txt";
inline constexpr std::string_view kTickerFilePath = "/zem/link.txt";
inline constexpr std::string_view kUpdatePackagePath = "/vant/app/zemdate.exe";
inline constexpr std::string_view kLogoPagePath = "/cctv/logo.html";
inline constexpr std::string_view kOrkePagePath = "/vant/orke.html";
inline constexpr std::string_view kGuestbookPath = "/guestbook";
inline constexpr std::string_view kFeedbackPagePath = "/guestbook/index.asp?boardid=1";
inline constexpr std::string_view kHostHomePagePath = "/index.html?=orke";

// Paths on the base address.
inline constexpr std::string_view kLibraryPagePath = "/vant/";
inline constexpr std::string_view kChannelPagePath = "/vant/pindao.asp?id=66";
inline constexpr std::string_view kAdvertisementPagePath = "/vant/js/ads/qvodad.html";
inline constexpr std::string_view kGuestBookPagePath = "/vant/gbook.asp";
inline constexpr std::string_view kHomePagePath = "/index.asp";

// Where the sample content server listens unless told otherwise.
inline constexpr std::string_view kDefaultHost = "http://127.0.0.1:8080";

// The content server's fixed host: ZEM_HOST, or kDefaultHost when unset or
// empty; trailing slashes are dropped so that joining a path gives one.
std::string FixedHost();

// The reachability probe's address: ZEM_PROBE, or the default host's home
// page when unset or empty.
std::string ProbeAddress();

// A root followed by a path, as plain text (no check, no separator added).
inline std::string Join(std::string_view root, std::string_view path) {
    std::string address(root);
    address.append(path);
    return address;
}

}  // namespace zem::content_server

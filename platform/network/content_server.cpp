#include "platform/network/content_server.h"

#include <cstdlib>

namespace zem::content_server {

namespace {

std::string EnvironmentOr(const char* name, std::string_view fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : std::string(fallback);
}

}  // namespace

std::string FixedHost() {
    std::string host = EnvironmentOr("ZEM_HOST", kDefaultHost);
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    return host;
}

std::string ProbeAddress() {
    return EnvironmentOr("ZEM_PROBE", Join(kDefaultHost, "/"));
}

}  // namespace zem::content_server

#include "platform/shell/shell_execute.h"

#include <gio/gio.h>

#include <errno.h>

#include <cstdio>
#include <cstring>

#include "platform/base/text.h"

namespace zem::platform {
namespace {

UrlOpener*& OpenerOverride() {
    static UrlOpener* opener = nullptr;
    return opener;
}

bool EqualsIgnoringAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t index = 0; index < left.size(); ++index) {
        char a = left[index];
        char b = right[index];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// Every byte outside printable ASCII, and the blank, as %XX; what is already
// an escape stays as it is.
std::string PercentEncodeUnsafeBytes(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte <= 0x20 || byte >= 0x7F || byte == '"' || byte == '<' || byte == '>' || byte == '\\' ||
            byte == '^' || byte == '`' || byte == '{' || byte == '|' || byte == '}') {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += character;
        }
    }
    return encoded;
}

}  // namespace

std::string WebAddressToOpen(std::string_view utf8Address) {
    const std::string encoded = PercentEncodeUnsafeBytes(utf8Address);
    GUri* uri = g_uri_parse(encoded.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (uri == nullptr) return "";
    const char* scheme = g_uri_get_scheme(uri);
    const char* host = g_uri_get_host(uri);
    const bool web = scheme != nullptr && (EqualsIgnoringAsciiCase(scheme, "http") ||
                                           EqualsIgnoringAsciiCase(scheme, "https"));
    const bool hasHost = host != nullptr && host[0] != '\0';
    g_uri_unref(uri);
    return web && hasHost ? encoded : "";
}

bool DesktopUrlOpener::OpenUri(const std::string& uri) {
    GError* error = nullptr;
    const gboolean opened = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    if (error != nullptr) g_error_free(error);
    return opened != FALSE;
}

UrlOpener& CurrentUrlOpener() {
    static DesktopUrlOpener desktop;
    UrlOpener* opener = OpenerOverride();
    return opener != nullptr ? *opener : desktop;
}

ScopedUrlOpener::ScopedUrlOpener(UrlOpener& opener) : previous_(OpenerOverride()) {
    OpenerOverride() = &opener;
}

ScopedUrlOpener::~ScopedUrlOpener() { OpenerOverride() = previous_; }

}  // namespace zem::platform

HINSTANCE ShellExecuteA(HWND /*window*/, LPCSTR operation, LPCSTR file, LPCSTR /*parameters*/,
                        LPCSTR /*directory*/, INT /*showCommand*/) {
    using namespace zem::platform;
    const auto answer = [](LONG_PTR code) { return reinterpret_cast<HINSTANCE>(code); };
    if (operation != nullptr && !EqualsIgnoringAsciiCase(operation, "open")) return answer(SE_ERR_NOASSOC);
    if (file == nullptr || file[0] == '\0') return answer(SE_ERR_FNF);
    const std::string address = WebAddressToOpen(GbkToUtf8(std::string_view(file, std::strlen(file))));
    if (address.empty()) return answer(SE_ERR_NOASSOC);
    if (CurrentUrlOpener().OpenUri(address)) return answer(SE_OPEN_SUCCEEDED);
    std::fprintf(stderr, "%s: no web browser was found to open %s\n", program_invocation_short_name, address.c_str());
    return answer(SE_ERR_NOASSOC);
}

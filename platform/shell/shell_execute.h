// Opening an address with the desktop's default handler: ShellExecuteA with
// the "open" operation. Addresses reach the desktop's URL opener (GLib's
// default-handler launch) and never a shell or a program of their own; only
// web addresses (http and https) are opened, since the addresses the programs
// pass come from the content server.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/base/win32_types.h"

// The shell's answers: above 32 is success.
inline constexpr LONG_PTR SE_ERR_FNF = 2;
inline constexpr LONG_PTR SE_ERR_NOASSOC = 31;
inline constexpr LONG_PTR SE_OPEN_SUCCEEDED = 42;

// Opens `file` (GBK) with the operation "open" (any letter case, or null for
// the default operation, which is "open"). A web address is handed to the
// current UrlOpener; when it cannot open it (no web browser), that is said on
// standard error and the answer is SE_ERR_NOASSOC. Anything else, an empty
// address included, opens nothing and answers SE_ERR_NOASSOC (another
// operation too), or SE_ERR_FNF for an empty or null file. Parameters, folder and show command have no meaning for
// an address and are not used.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);

namespace zem::platform {

// The address as the desktop gets it: a UTF-8 text with blanks, control
// characters and non-ASCII bytes percent-encoded, when it is an http or https
// address with a host; "" otherwise.
std::string WebAddressToOpen(std::string_view utf8Address);

// Hands a checked web address to the desktop.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when the desktop could not open it.
    virtual bool OpenUri(const std::string& uri) = 0;
};

// The desktop's URL opener: g_app_info_launch_default_for_uri, without waiting.
class DesktopUrlOpener final : public UrlOpener {
public:
    bool OpenUri(const std::string& uri) override;
};

// The opener in use: the desktop's unless a ScopedUrlOpener is alive.
UrlOpener& CurrentUrlOpener();

// Replaces the opener for its lifetime (tests); restores the previous one.
class ScopedUrlOpener {
public:
    explicit ScopedUrlOpener(UrlOpener& opener);
    ~ScopedUrlOpener();
    ScopedUrlOpener(const ScopedUrlOpener&) = delete;
    ScopedUrlOpener& operator=(const ScopedUrlOpener&) = delete;

private:
    UrlOpener* previous_;
};

}  // namespace zem::platform

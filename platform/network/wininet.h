// Reachability: whether a connection to an address's host can be made.
#pragma once

#include "platform/base/win32_types.h"

inline constexpr DWORD FLAG_ICC_FORCE_CONNECTION = 0x00000001;

// Makes a real connection to the host and port of lpszUrl (http or https;
// the scheme's port when none is given) and answers TRUE when it could. The
// attempt is bounded by a short time-out and never hangs; an unusable
// address answers FALSE. Without FLAG_ICC_FORCE_CONNECTION the check is the
// same, since there is no other way to know. dwReserved is not used.
BOOL InternetCheckConnectionA(const char* lpszUrl, DWORD dwFlags, DWORD dwReserved);

namespace zem::platform {

// The bound on one connection check, in milliseconds.
inline constexpr long kConnectionCheckTimeoutMilliseconds = 5000;

}  // namespace zem::platform

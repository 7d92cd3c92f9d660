#include "updater/cfile_download.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "platform/base/text.h"
#include "platform/forms/program.h"
#include "platform/forms/runtime_error.h"
#include "platform/network/text_conversion.h"
#include "platform/window/user32.h"
#include "updater/rounding.h"

namespace {

// A difference of two 32-bit values, or nothing when it leaves 32 bits (the
// statement that computes it is then skipped).
std::optional<std::int32_t> Difference32(std::int64_t left, std::int64_t right) {
    const std::int64_t difference = left - right;
    if (difference < std::numeric_limits<std::int32_t>::min() ||
        difference > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(difference);
}

}  // namespace

namespace zem::updater {

std::int32_t TransferRate(std::int64_t bytes, std::int64_t milliseconds) {
    if (milliseconds == 0) return 0;
    const double rate = static_cast<double>(bytes) * 1000 / (static_cast<double>(milliseconds) * 1024);
    // Two decimals, read back in single precision; a rate beyond 32 bits is skipped.
    const float twoDecimals = static_cast<float>(RoundToTwoDecimals(rate));
    return WholeToInt32(RoundToEven(twoDecimals)).value_or(0);
}

}  // namespace zem::updater

CFileDownload::~CFileDownload() {
    if (m_BindingHeld == 1 && m_Binding) m_Binding->Release();
    m_BindingHeld = 0;
    m_Downloading = false;
}

bool CFileDownload::StartDownloading(const std::string& sSrc, const std::string& sDest) {
    // A start while an aborted transfer unwinds would nest inside it and take
    // over its binding, whose held reference would never be given back.
    if (m_Downloading || Stopping()) return false;
    // The platform's download takes UTF-8 text; the address and the path go as they are.
    const HRESULT result = URLDownloadToFileA(this, sSrc.c_str(), sDest.c_str(), 0, this);
    return result == S_OK;
}

void CFileDownload::AbortDownloading() {
    zem::forms::SkipOnError([this] {
        if (m_BindingHeld == 1 && m_Binding) m_Binding->Abort();
    });
    m_Downloading = false;
}

std::string CFileDownload::StrFromPtr(const void* lpString, bool fUnicode) {
    if (lpString == nullptr) return "";
    if (fUnicode) return zem::platform::NetworkUtf8FromUtf16(static_cast<LPCWSTR>(lpString));
    return zem::platform::GbkToUtf8(static_cast<const char*>(lpString));
}

HRESULT CFileDownload::OnStartBinding(DWORD, IBinding* pib) {
    m_Downloading = true;
    m_Binding = zem::platform::ComRef<IBinding>::Share(pib);
    if (m_Binding) {
        m_Binding->AddRef();
        m_BindingHeld = 1;
    }
    return S_OK;
}

HRESULT CFileDownload::OnStopBinding(HRESULT, LPCWSTR) {
    m_Downloading = false;
    if (m_BindingHeld == 1) {
        if (m_Binding) m_Binding->Release();
        m_BindingHeld = 0;
    }
    return S_OK;
}

HRESULT CFileDownload::OnObjectAvailable(REFIID, IUnknown* punk) {
    zem::platform::ComRef<IUnknown> held = zem::platform::ComRef<IUnknown>::Share(punk);
    return S_OK;
}

HRESULT CFileDownload::OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG ulStatusCode, LPCWSTR szStatusText) {
    const auto progress = static_cast<std::int32_t>(ulProgress);
    // The time and the bytes since the previous report; a difference that
    // leaves 32 bits is skipped, as is a rate over no time.
    if (auto elapsed = Difference32(static_cast<std::int32_t>(GetTickCount()), lLastTick)) lLastTick = *elapsed;
    if (auto bytes = Difference32(progress, lLastBytes)) lLastBytes = *bytes;
    const std::int32_t lSpeed = zem::updater::TransferRate(lLastBytes, lLastTick);
    if (OnProgressEvent) {
        const std::string statusText = StrFromPtr(szStatusText, true);
        const auto handler = OnProgressEvent;
        zem::forms::RunEventHandler([&] {
            handler(progress, static_cast<std::int32_t>(ulProgressMax), lSpeed,
                    static_cast<std::int32_t>(ulStatusCode), statusText);
        });
    }
    lLastTick = static_cast<std::int32_t>(GetTickCount());
    lLastBytes = progress;
    // The host's window handlers may run here, AbortDownloading and
    // StartDownloading among them.
    zem::forms::DoEvents();
    // Only AbortDownloading stops the transfer, never the answer here.
    return S_OK;
}

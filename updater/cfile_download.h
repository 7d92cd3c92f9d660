// CFileDownload: downloads one address to one file through the platform's
// URL download, as its own status callback. Every progress report becomes an
// OnProgress event, after which the window messages waiting on the thread
// run, so the window that started the download stays usable while the call
// runs (its handlers may run nested inside StartDownloading). The binding it
// keeps lets AbortDownloading stop the transfer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/base/com.h"
#include "platform/network/urlmon.h"

class CFileDownload : public zem::platform::BindStatusCallback {
public:
    using ProgressHandler = std::function<void(std::int32_t lProgress, std::int32_t lMaxProgress,
                                               std::int32_t lSpeed, std::int32_t lStatusCode,
                                               const std::string& sStatusText)>;

    CFileDownload() = default;

    // Downloads sSrc into the file sDest; returns when the transfer has ended:
    // true on success, false on any failure, on abort, and at once (leaving
    // the running transfer alone) when one is already running or an aborted
    // one has not yet stopped.
    bool StartDownloading(const std::string& sSrc, const std::string& sDest);
    // Stops the running transfer, if any.
    void AbortDownloading();
    // A copy of the NUL-terminated string at the address (UTF-16 when
    // fUnicode, else the ANSI code page), as UTF-8; "" for a null address.
    static std::string StrFromPtr(const void* lpString, bool fUnicode);

    // Raised once per progress report, on the thread that started the download.
    ProgressHandler OnProgressEvent;

    bool Downloading() const { return m_Downloading; }
    // An aborted transfer that has not yet stopped: its call is still unwinding.
    bool Stopping() const { return !m_Downloading && m_BindingHeld == 1; }

    // IBindStatusCallback.
    HRESULT OnStartBinding(DWORD dwReserved, IBinding* pib) override;
    HRESULT OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG ulStatusCode, LPCWSTR szStatusText) override;
    HRESULT OnStopBinding(HRESULT hresult, LPCWSTR szError) override;
    HRESULT OnObjectAvailable(REFIID riid, IUnknown* punk) override;

protected:
    // Class_Terminate: the extra reference on the binding goes with the object.
    ~CFileDownload() override;

private:
    zem::platform::ComRef<IBinding> m_Binding;
    bool m_Downloading = false;
    int m_BindingHeld = 0;
    // The tick count and the progress at the end of the previous report, kept
    // from one download to the next.
    std::int32_t lLastTick = 0;
    std::int32_t lLastBytes = 0;
};

namespace zem::updater {

// The rate between two reports in whole kilobytes (1024 bytes) per second:
// bytes x 1000 / (milliseconds x 1024), taken to two decimals and then to the
// nearest whole number, ties to even. 0 when no time has passed.
std::int32_t TransferRate(std::int64_t bytes, std::int64_t milliseconds);

}  // namespace zem::updater

// Downloads of one address to one file with a status callback: the binding
// interfaces, their status codes and URLDownloadToFileA.
#pragma once

#include "platform/base/com.h"
#include "platform/network/download_limits.h"

// Interface identifiers of the binding interfaces.
inline constexpr IID IID_IBinding = {
    0x79EAC9C0, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};
inline constexpr IID IID_IBindStatusCallback = {
    0x79EAC9C1, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};

// Failure codes of a transfer.
inline constexpr HRESULT INET_E_INVALID_URL = static_cast<HRESULT>(0x800C0002u);
inline constexpr HRESULT INET_E_NO_SESSION = static_cast<HRESULT>(0x800C0003u);
inline constexpr HRESULT INET_E_CANNOT_CONNECT = static_cast<HRESULT>(0x800C0004u);
inline constexpr HRESULT INET_E_RESOURCE_NOT_FOUND = static_cast<HRESULT>(0x800C0005u);
inline constexpr HRESULT INET_E_OBJECT_NOT_FOUND = static_cast<HRESULT>(0x800C0006u);
inline constexpr HRESULT INET_E_DATA_NOT_AVAILABLE = static_cast<HRESULT>(0x800C0007u);
inline constexpr HRESULT INET_E_DOWNLOAD_FAILURE = static_cast<HRESULT>(0x800C0008u);
inline constexpr HRESULT INET_E_CONNECTION_TIMEOUT = static_cast<HRESULT>(0x800C000Bu);
inline constexpr HRESULT INET_E_INVALID_REQUEST = static_cast<HRESULT>(0x800C000Cu);
inline constexpr HRESULT INET_E_UNKNOWN_PROTOCOL = static_cast<HRESULT>(0x800C000Du);

// Status codes of OnProgress.
enum BINDSTATUS : ULONG {
    BINDSTATUS_FINDINGRESOURCE = 1,
    BINDSTATUS_CONNECTING = 2,
    BINDSTATUS_REDIRECTING = 3,
    BINDSTATUS_BEGINDOWNLOADDATA = 4,
    BINDSTATUS_DOWNLOADINGDATA = 5,
    BINDSTATUS_ENDDOWNLOADDATA = 6,
    BINDSTATUS_BEGINDOWNLOADCOMPONENTS = 7,
    BINDSTATUS_INSTALLINGCOMPONENTS = 8,
    BINDSTATUS_ENDDOWNLOADCOMPONENTS = 9,
    BINDSTATUS_USINGCACHEDCOPY = 10,
    BINDSTATUS_SENDINGREQUEST = 11,
    BINDSTATUS_CLASSIDAVAILABLE = 12,
    BINDSTATUS_MIMETYPEAVAILABLE = 13,
    BINDSTATUS_CACHEFILENAMEAVAILABLE = 14,
};

// Records some methods pass along; this platform never fills them.
struct BINDINFO;
struct FORMATETC;
struct STGMEDIUM;

// A running transfer. Abort stops it; the download then returns E_ABORT.
// The object may be held after the transfer ended: Abort then answers E_FAIL.
struct IBinding : IUnknown {
    virtual HRESULT Abort() = 0;

protected:
    ~IBinding() = default;
};

struct IBindStatusCallback : IUnknown {
    virtual HRESULT OnStartBinding(DWORD dwReserved, IBinding* pib) = 0;
    virtual HRESULT GetPriority(LONG* pnPriority) = 0;
    virtual HRESULT OnLowResource(DWORD reserved) = 0;
    virtual HRESULT OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG ulStatusCode,
                               LPCWSTR szStatusText) = 0;
    virtual HRESULT OnStopBinding(HRESULT hresult, LPCWSTR szError) = 0;
    virtual HRESULT GetBindInfo(DWORD* grfBINDF, BINDINFO* pbindinfo) = 0;
    virtual HRESULT OnDataAvailable(DWORD grfBSCF, DWORD dwSize, FORMATETC* pformatetc,
                                    STGMEDIUM* pstgmed) = 0;
    virtual HRESULT OnObjectAvailable(REFIID riid, IUnknown* punk) = 0;

protected:
    ~IBindStatusCallback() = default;
};

// Downloads szURL (http or https, UTF-8) into the file szFileName (a UTF-8
// path) on the calling thread and returns when the transfer has ended: S_OK
// when the whole body is in place, a failure code otherwise (E_ABORT after an
// abort, INET_E_* for the network and HTTP failures, a body that differs from
// its announced length or announces two lengths included, a body whose end
// only the connection's end would mark (neither a length nor chunked), and a
// transfer that breaks the DownloadLimits).
// lpfnCB, when given, receives OnStartBinding, OnProgress as data arrives and
// OnStopBinding, all on the calling thread (OnProgress also while nothing
// arrives, with the progress unchanged); a failure returned by
// OnStartBinding or OnProgress aborts the transfer. The body is written beside
// the target and renamed into place only when complete, so a failed download
// leaves any earlier file untouched. pCaller and dwReserved are not used.
HRESULT URLDownloadToFileA(IUnknown* pCaller, const char* szURL, const char* szFileName,
                           DWORD dwReserved, IBindStatusCallback* lpfnCB);

namespace zem::platform {

// Base of a status callback: real reference counting, QueryInterface for
// IUnknown and IBindStatusCallback, and every method answering S_OK, so a
// callback overrides only what it needs. Create it with MakeCom.
class BindStatusCallback : public IBindStatusCallback {
public:
    BindStatusCallback() = default;
    BindStatusCallback(const BindStatusCallback&) = delete;
    BindStatusCallback& operator=(const BindStatusCallback&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return references_.Add(); }
    ULONG Release() override {
        const ULONG left = references_.Drop();
        if (left == 0) delete this;
        return left;
    }
    ULONG ReferenceCount() const { return references_.Count(); }

    HRESULT OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    HRESULT GetPriority(LONG*) override { return S_OK; }
    HRESULT OnLowResource(DWORD) override { return S_OK; }
    HRESULT OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    HRESULT OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    HRESULT GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    HRESULT OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

protected:
    virtual ~BindStatusCallback() = default;

private:
    RefCounted references_;
};

}  // namespace zem::platform

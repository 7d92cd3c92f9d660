#include "platform/network/urlmon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/network/curl_session.h"
#include "platform/network/response_head.h"
#include "platform/network/transfer_loop.h"
#include "platform/network/text_conversion.h"
#include "platform/system/replacement_file.h"

namespace zem::platform {

HRESULT BindStatusCallback::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
        *ppvObject = static_cast<IBindStatusCallback*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

namespace {

constexpr long kConnectTimeoutMilliseconds = 30000;
// Large reads from the socket and large writes to the file keep the
// per-byte cost down; only a full buffer costs a system call.
constexpr long kReceiveBufferBytes = 512 * 1024;
constexpr std::size_t kWriteBufferBytes = 4 * 1024 * 1024;
// A part file's name: the target's, then this, the process id, '-' and a number.
constexpr std::string_view kPartInfix = ".part-";

// The binding handed to OnStartBinding. It outlives the transfer when the
// callback keeps a reference; Abort then has nothing left to stop.
class Binding final : public IBinding {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IBinding) {
            *ppvObject = static_cast<IBinding*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return references_.Add(); }
    ULONG Release() override {
        const ULONG left = references_.Drop();
        if (left == 0) delete this;
        return left;
    }

    HRESULT Abort() override {
        if (!running_) return E_FAIL;
        aborted_ = true;
        return S_OK;
    }

    bool Aborted() const { return aborted_; }
    void Finish() { running_ = false; }

private:
    RefCounted references_;
    bool running_ = true;
    bool aborted_ = false;
};

// The body's file while it arrives: a file beside the target
// (replacement_file.h: unnamed while it is written where the filesystem
// allows, else "<target>.part-<pid>-<n>" held locked), moved over the target
// only once complete. A transfer that does not complete (a failure, an abort,
// a program ending through its loop) removes it with this object; one whose
// process is killed leaves no named file where it had none, and the next
// download into the folder removes the part files of its name that no live
// download holds.
class PartFile {
public:
    explicit PartFile(const std::string& target)
        : file_(NewPartFile(target)), target_(target) {
        if (file_.Descriptor() < 0) error_ = ErrorFromErrno(file_.Error());
        buffer_.reserve(kWriteBufferBytes);
    }
    bool Opened() const { return file_.Descriptor() >= 0; }
    HRESULT Error() const { return error_; }

    // The bytes an unprivileged writer may still add to the file's
    // filesystem; unbounded when the filesystem does not say.
    std::uint64_t FreeBytes() const {
        struct statvfs space {};
        if (!Opened() || fstatvfs(file_.Descriptor(), &space) != 0) return std::numeric_limits<std::uint64_t>::max();
        return static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    }

    bool Append(const char* data, std::size_t size) {
        if (buffer_.size() + size > kWriteBufferBytes && !Flush()) return false;
        if (size >= kWriteBufferBytes) return WriteAll(data, size);
        buffer_.insert(buffer_.end(), data, data + size);
        return true;
    }

    // Moves the complete file into place; false (with Error) when it cannot.
    bool Commit() {
        if (!Flush()) return false;
        struct stat existing {};
        if (stat(target_.c_str(), &existing) == 0) fchmod(file_.Descriptor(), existing.st_mode & 07777);
        if (file_.Commit()) return true;
        error_ = ErrorFromErrno(file_.Error());
        return false;
    }

private:
    // The part files that downloads into this folder left behind go first.
    static ReplacementFile NewPartFile(const std::string& target) {
        RemoveAbandonedFiles(target, kPartInfix);
        return ReplacementFile(target, kPartInfix, 0666);
    }

    static HRESULT ErrorFromErrno(int error) {
        return (error == EACCES || error == EPERM) ? E_ACCESSDENIED : E_FAIL;
    }

    bool Flush() {
        if (buffer_.empty()) return true;
        const bool written = WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
        return written;
    }

    bool WriteAll(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = write(file_.Descriptor(), data, size);
            if (written < 0) {
                if (errno == EINTR) continue;
                error_ = ErrorFromErrno(errno);
                return false;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    ReplacementFile file_;
    std::string target_;
    HRESULT error_ = S_OK;
    std::vector<char> buffer_;
};

ULONG ProgressValue(curl_off_t value) {
    // Progress travels in 32 bits; larger transfers report the ceiling.
    if (value <= 0) return 0;
    return value > static_cast<curl_off_t>(std::numeric_limits<ULONG>::max())
               ? std::numeric_limits<ULONG>::max()
               : static_cast<ULONG>(value);
}

// One call of URLDownloadToFileA: the file, the binding and the callback.
class Download {
public:
    Download(std::string url, std::string target, IBindStatusCallback* callback)
        : url_(std::move(url)),
          statusText_(NetworkUtf16FromUtf8(url_)),
          file_(std::move(target)),
          callback_(ComRef<IBindStatusCallback>::Share(callback)),
          binding_(MakeCom<Binding>()) {}

    HRESULT Run() {
        HRESULT result = Start();
        if (SUCCEEDED(result)) result = Transfer();
        binding_->Finish();
        if (callback_) callback_->OnStopBinding(result, nullptr);
        return result;
    }

private:
    HRESULT Start() {
        // The callback learns of the binding even when the file cannot be
        // made, so that it always sees a start and a stop.
        if (callback_ && FAILED(callback_->OnStartBinding(0, binding_.Get()))) return E_ABORT;
        if (binding_->Aborted()) return E_ABORT;
        if (!file_.Opened()) return file_.Error();
        bound_ = SizeBound();
        return Report(0, BINDSTATUS_CONNECTING) ? S_OK : E_ABORT;
    }

    // The most the body may hold: the limit in force, the bound of a call
    // nobody can cancel, and what the file's filesystem can spare.
    std::uint64_t SizeBound() const {
        std::uint64_t bound = limits_.maximumBytes;
        if (!callback_) bound = std::min(bound, limits_.uncancellableBytes);
        const std::uint64_t free = file_.FreeBytes();
        return std::min(bound, free > limits_.freeSpaceMarginBytes ? free - limits_.freeSpaceMarginBytes : 0);
    }

    HRESULT Transfer() {
        CurlEasy request = NewCurlRequest(url_, kConnectTimeoutMilliseconds);
        if (!request) return INET_E_NO_SESSION;
        CURL* easy = request.get();
        curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits_.lowSpeedBytesPerSecond);
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, limits_.lowSpeedSeconds);
        if (!callback_) curl_easy_setopt(easy, CURLOPT_TIMEOUT, limits_.uncancellableSeconds);
        // The library would stop reading at the announced length and keep
        // quiet about anything beyond it. The body is read to the end of the
        // connection instead (the request asks the server to close it) and
        // its length compared with the announced one here.
        curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
        CurlHeaderList headers(curl_slist_append(nullptr, "Connection: close"));
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Download::HeaderThunk);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Download::ReceiveThunk);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        easy_ = easy;
        const CURLcode code = Perform(easy);
        if (code != CURLE_OK) return FailureOf(code);
        const long status = CurlResponseCode(easy);
        if (status != 0 && (status < 200 || status > 299)) return INET_E_DOWNLOAD_FAILURE;
        if (head_.Contradictory() || (head_.AnnouncedLength() >= 0 && received_ != head_.AnnouncedLength())) {
            return INET_E_DOWNLOAD_FAILURE;
        }
        if (!began_ && !Begin()) return FailureOf(CURLE_WRITE_ERROR);
        if (!Report(received_, BINDSTATUS_ENDDOWNLOADDATA)) return E_ABORT;
        if (!file_.Commit()) return file_.Error();
        return S_OK;
    }

    // Runs the transfer on the calling thread. A callback hears at least
    // every idleProgressMilliseconds that it is still going, and can stop it
    // there; a call without one is bounded in how long it waits on the server.
    CURLcode Perform(CURL* easy) {
        const std::chrono::milliseconds idle(limits_.idleProgressMilliseconds);
        if (!callback_) return RunTransfer(easy, UncancellableWaitBounds(limits_), idle);
        // The idle report repeats the last progress with the status of the
        // phase: connecting before the body, downloading during it.
        return RunTransfer(easy, WaitBounds{}, idle, [this, idle] {
            return SinceLastReport() < idle ||
                   Report(received_, began_ ? BINDSTATUS_DOWNLOADINGDATA : BINDSTATUS_CONNECTING);
        });
    }

    std::chrono::steady_clock::duration SinceLastReport() const {
        return std::chrono::steady_clock::now() - lastReport_;
    }

    static std::size_t HeaderThunk(char* data, std::size_t size, std::size_t count, void* self) {
        static_cast<Download*>(self)->head_.Read(std::string_view(data, size * count));
        return size * count;
    }

    static std::size_t ReceiveThunk(char* data, std::size_t size, std::size_t count, void* self) {
        return static_cast<Download*>(self)->Receive(data, size * count);
    }

    std::size_t Receive(const char* data, std::size_t size) {
        constexpr std::size_t kStop = 0;  // any short count makes the library end the transfer
        if (!began_ && !Begin()) return kStop;
        if (size == 0) return 0;
        const curl_off_t announced = head_.AnnouncedLength();
        // Over the bound, or more than announced: the rest need not be read.
        if (static_cast<std::uint64_t>(received_) + size > bound_ || head_.Contradictory() ||
            (announced >= 0 && received_ + static_cast<curl_off_t>(size) > announced)) {
            return Refuse(INET_E_DOWNLOAD_FAILURE);
        }
        if (!file_.Append(data, size)) return Refuse(file_.Error());
        received_ += static_cast<curl_off_t>(size);
        return Report(received_, BINDSTATUS_DOWNLOADINGDATA) ? size : kStop;
    }

    // The first body bytes (or the end of an empty body): the head is
    // complete. A body whose end only the connection's end marks is refused
    // (a cut one would pass for whole), as is one announced over the bound;
    // otherwise the total is known now, or stays 0 when the server sent no length.
    bool Begin() {
        began_ = true;
        const curl_off_t announced = head_.AnnouncedLength();
        if (!head_.Delimited() || (announced >= 0 && static_cast<std::uint64_t>(announced) > bound_)) {
            Refuse(INET_E_DOWNLOAD_FAILURE);
            return false;
        }
        total_ = announced > 0 ? announced : 0;
        return Report(0, BINDSTATUS_BEGINDOWNLOADDATA);
    }

    // Stops the transfer from inside for `reason` (the first one counts);
    // answers the receive count that makes the library stop.
    std::size_t Refuse(HRESULT reason) {
        if (SUCCEEDED(refusal_)) refusal_ = reason;
        return 0;
    }

    // Tells the callback; false when the transfer must stop (aborted from
    // inside the callback, or the callback answered a failure).
    bool Report(curl_off_t progress, ULONG status) {
        lastReport_ = std::chrono::steady_clock::now();
        if (callback_ &&
            FAILED(callback_->OnProgress(ProgressValue(progress), ProgressValue(total_), status,
                                         statusText_.c_str()))) {
            callbackFailed_ = true;
        }
        return !callbackFailed_ && !binding_->Aborted();
    }

    HRESULT FailureOf(CURLcode code) const {
        if (binding_->Aborted() || callbackFailed_) return E_ABORT;
        // A body refused here (over a bound, unlike its announced length,
        // without a marked end, or a file that cannot be written) fails for
        // that reason; a time or speed bound is a time-out.
        if (FAILED(refusal_)) return refusal_;
        switch (code) {
            case CURLE_URL_MALFORMAT:
                return INET_E_INVALID_URL;
            case CURLE_UNSUPPORTED_PROTOCOL:
                return INET_E_UNKNOWN_PROTOCOL;
            case CURLE_COULDNT_RESOLVE_HOST:
            case CURLE_COULDNT_RESOLVE_PROXY:
                return INET_E_RESOURCE_NOT_FOUND;
            case CURLE_COULDNT_CONNECT:
                return INET_E_CANNOT_CONNECT;
            case CURLE_OPERATION_TIMEDOUT:
                return INET_E_CONNECTION_TIMEOUT;
            case CURLE_HTTP_RETURNED_ERROR: {
                const long status = CurlResponseCode(easy_);
                return (status == 404 || status == 410) ? INET_E_RESOURCE_NOT_FOUND
                                                        : INET_E_DOWNLOAD_FAILURE;
            }
            default:
                return INET_E_DOWNLOAD_FAILURE;
        }
    }

    std::string url_;
    std::u16string statusText_;
    PartFile file_;
    ComRef<IBindStatusCallback> callback_;
    ComRef<Binding> binding_;
    const DownloadLimits limits_ = CurrentDownloadLimits();
    CURL* easy_ = nullptr;
    ResponseHead head_;
    std::uint64_t bound_ = 0;
    curl_off_t received_ = 0;
    curl_off_t total_ = 0;
    std::chrono::steady_clock::time_point lastReport_ = std::chrono::steady_clock::now();
    bool began_ = false;
    bool callbackFailed_ = false;
    HRESULT refusal_ = S_OK;
};

}  // namespace

}  // namespace zem::platform

HRESULT URLDownloadToFileA(IUnknown* /*pCaller*/, const char* szURL, const char* szFileName,
                           DWORD /*dwReserved*/, IBindStatusCallback* lpfnCB) {
    if (!szURL || !szFileName || !*szURL || !*szFileName) return E_INVALIDARG;
    zem::platform::Download download(szURL, szFileName, lpfnCB);
    return download.Run();
}

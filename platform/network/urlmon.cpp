#include "platform/network/urlmon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/network/curl_session.h"
#include "platform/network/text_conversion.h"

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

DownloadLimits& LimitsInForce() {
    static DownloadLimits limits;
    return limits;
}

}  // namespace

const DownloadLimits& CurrentDownloadLimits() { return LimitsInForce(); }

ScopedDownloadLimits::ScopedDownloadLimits(DownloadLimits limits) : previous_(LimitsInForce()) {
    LimitsInForce() = limits;
}

ScopedDownloadLimits::~ScopedDownloadLimits() { LimitsInForce() = previous_; }

namespace {

constexpr long kConnectTimeoutMilliseconds = 30000;
// Large reads from the socket and large writes to the file keep the
// per-byte cost down; only a full buffer costs a system call.
constexpr long kReceiveBufferBytes = 512 * 1024;
constexpr std::size_t kWriteBufferBytes = 4 * 1024 * 1024;

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

// The body's file while it arrives: a fresh file beside the target, moved
// over the target only once complete, and removed otherwise.
class PartFile {
public:
    explicit PartFile(std::string target) : target_(std::move(target)) {
        static std::atomic<unsigned> sequence{0};
        for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
            path_ =
                target_ + ".part-" + std::to_string(getpid()) + "-" + std::to_string(sequence++);
            descriptor_ = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ < 0 && errno != EEXIST) break;
        }
        if (descriptor_ < 0) error_ = ErrorFromErrno();
        buffer_.reserve(kWriteBufferBytes);
    }
    ~PartFile() {
        if (descriptor_ >= 0) {
            close(descriptor_);
            unlink(path_.c_str());
        }
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool Opened() const { return descriptor_ >= 0; }
    HRESULT Error() const { return error_; }

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
        if (stat(target_.c_str(), &existing) == 0) fchmod(descriptor_, existing.st_mode & 07777);
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (close(descriptor) != 0 || rename(path_.c_str(), target_.c_str()) != 0) {
            error_ = ErrorFromErrno();
            unlink(path_.c_str());
            return false;
        }
        return true;
    }

private:
    static HRESULT ErrorFromErrno() {
        return (errno == EACCES || errno == EPERM) ? E_ACCESSDENIED : E_FAIL;
    }

    bool Flush() {
        if (buffer_.empty()) return true;
        const bool written = WriteAll(buffer_.data(), buffer_.size());
        buffer_.clear();
        return written;
    }

    bool WriteAll(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = write(descriptor_, data, size);
            if (written < 0) {
                if (errno == EINTR) continue;
                error_ = ErrorFromErrno();
                return false;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    std::string target_;
    std::string path_;
    int descriptor_ = -1;
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
        return Report(0, BINDSTATUS_CONNECTING) ? S_OK : E_ABORT;
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
        if (lengthMismatch_ || (announced_ >= 0 && received_ != announced_)) {
            return INET_E_DOWNLOAD_FAILURE;
        }
        if (!began_ && !Begin()) return E_ABORT;
        if (!Report(received_, BINDSTATUS_ENDDOWNLOADDATA)) return E_ABORT;
        if (!file_.Commit()) return file_.Error();
        return S_OK;
    }

    // Runs the transfer on the calling thread, waking at least every
    // idleProgressMilliseconds to tell the callback that it is still going.
    CURLcode Perform(CURL* easy) {
        CurlMulti multi(curl_multi_init());
        if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
        CURLcode result = CURLE_OK;
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
                result = CURLE_RECV_ERROR;
                break;
            }
            if (running == 0) {
                int left = 0;
                while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
                    if (message->msg == CURLMSG_DONE) result = message->data.result;
                }
                break;
            }
            curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(limits_.idleProgressMilliseconds),
                            nullptr);
            // The idle report repeats the last progress with the status of
            // the phase: connecting before the body, downloading during it.
            if (callback_ && SinceLastReport() >= std::chrono::milliseconds(limits_.idleProgressMilliseconds) &&
                !Report(received_, began_ ? BINDSTATUS_DOWNLOADINGDATA : BINDSTATUS_CONNECTING)) {
                result = CURLE_ABORTED_BY_CALLBACK;
                break;
            }
        }
        curl_multi_remove_handle(multi.get(), easy);
        return result;
    }

    std::chrono::steady_clock::duration SinceLastReport() const {
        return std::chrono::steady_clock::now() - lastReport_;
    }

    static std::size_t HeaderThunk(char* data, std::size_t size, std::size_t count, void* self) {
        static_cast<Download*>(self)->Header(std::string_view(data, size * count));
        return size * count;
    }

    // Keeps the announced length of the response now arriving (each redirect
    // step starts a new one); a length that is no number or that differs from
    // an earlier one in the same response makes the body untrustworthy.
    void Header(std::string_view line) {
        if (line.substr(0, 5) == "HTTP/") {
            announced_ = -1;
            lengthMismatch_ = false;
            return;
        }
        constexpr std::string_view kName = "content-length:";
        if (line.size() < kName.size()) return;
        for (std::size_t index = 0; index < kName.size(); ++index) {
            if (std::tolower(static_cast<unsigned char>(line[index])) != kName[index]) return;
        }
        std::string_view values = line.substr(kName.size());
        // A header may repeat the length as a list ("10, 10").
        while (!values.empty()) {
            const std::size_t comma = values.find(',');
            std::string_view value = values.substr(0, comma);
            values = comma == std::string_view::npos ? std::string_view() : values.substr(comma + 1);
            while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
            while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
            curl_off_t length = 0;
            bool number = !value.empty() && value.size() <= 18;
            for (const char digit : value) {
                if (digit < '0' || digit > '9') number = false;
                length = length * 10 + (digit - '0');
            }
            if (!number || (announced_ >= 0 && announced_ != length)) {
                lengthMismatch_ = true;
                return;
            }
            announced_ = length;
        }
    }

    static std::size_t ReceiveThunk(char* data, std::size_t size, std::size_t count, void* self) {
        return static_cast<Download*>(self)->Receive(data, size * count);
    }

    std::size_t Receive(const char* data, std::size_t size) {
        constexpr std::size_t kStop = 0;  // any short count makes the library end the transfer
        if (!began_ && !Begin()) return kStop;
        if (size == 0) return 0;
        if (!callback_ && static_cast<std::uint64_t>(received_) + size > limits_.uncancellableBytes) {
            tooLarge_ = true;
            return kStop;
        }
        if (lengthMismatch_ || (announced_ >= 0 && received_ + static_cast<curl_off_t>(size) > announced_)) {
            // More than announced: the rest need not be read.
            lengthMismatch_ = true;
            return kStop;
        }
        if (!file_.Append(data, size)) {
            writeFailed_ = true;
            return kStop;
        }
        received_ += static_cast<curl_off_t>(size);
        return Report(received_, BINDSTATUS_DOWNLOADINGDATA) ? size : kStop;
    }

    // The first body bytes (or the end of an empty body): the total is known
    // now, or stays 0 when the server sent no length.
    bool Begin() {
        began_ = true;
        total_ = announced_ > 0 ? announced_ : 0;
        if (!callback_ && static_cast<std::uint64_t>(total_) > limits_.uncancellableBytes) {
            tooLarge_ = true;
            return false;
        }
        return Report(0, BINDSTATUS_BEGINDOWNLOADDATA);
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
        if (writeFailed_) return file_.Error();
        // A body over the bound or unlike its announced length is a failed
        // download, as a broken body is; a time or speed bound (the
        // library's time-out) is a time-out.
        if (tooLarge_ || lengthMismatch_) return INET_E_DOWNLOAD_FAILURE;
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
    curl_off_t received_ = 0;
    curl_off_t total_ = 0;
    // The announced length of the current response, -1 when none came.
    curl_off_t announced_ = -1;
    std::chrono::steady_clock::time_point lastReport_ = std::chrono::steady_clock::now();
    bool began_ = false;
    bool writeFailed_ = false;
    bool callbackFailed_ = false;
    bool tooLarge_ = false;
    bool lengthMismatch_ = false;
};

}  // namespace

}  // namespace zem::platform

HRESULT URLDownloadToFileA(IUnknown* /*pCaller*/, const char* szURL, const char* szFileName,
                           DWORD /*dwReserved*/, IBindStatusCallback* lpfnCB) {
    if (!szURL || !szFileName || !*szURL || !*szFileName) return E_INVALIDARG;
    zem::platform::Download download(szURL, szFileName, lpfnCB);
    return download.Run();
}

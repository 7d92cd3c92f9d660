#include "platform/display/x_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/display/x_connection.h"

namespace zem::platform::display {
namespace {

// An attach the server refuses (a server on another machine) is an error we
// expect: it only means shared memory is not for this connection.
bool g_attachFailed = false;
int NoteAttachFailure(Display*, XErrorEvent*) {
    g_attachFailed = true;
    return 0;
}

// The image grows in steps of this many pixels a side.
constexpr int kGrowthStep = 128;

int RoundUpToStep(int value) { return (std::max(value, 1) + kGrowthStep - 1) / kGrowthStep * kGrowthStep; }

}  // namespace

XImageBuffer::XImageBuffer(XConnection& connection, int width, int height)
    : connection_(connection),
      width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      capacityWidth_(RoundUpToStep(width)),
      capacityHeight_(RoundUpToStep(height)) {
    if (!connection_.HasShm() || !CreateShared()) CreatePlain();
}

bool XImageBuffer::Holds(int width, int height) const {
    // Kept unless too small, or four times larger than needed.
    const long needed = static_cast<long>(std::max(width, 1)) * std::max(height, 1);
    return width <= capacityWidth_ && height <= capacityHeight_ &&
           static_cast<long>(capacityWidth_) * capacityHeight_ / 4 <= needed;
}

void XImageBuffer::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    filled_ = false;
}

XImageBuffer::~XImageBuffer() {
    if (image_ == nullptr) return;
    if (shared_) {
        XShmDetach(connection_.display(), &segment_);
        XSync(connection_.display(), False);
        XDestroyImage(image_);
        shmdt(segment_.shmaddr);
    } else {
        XDestroyImage(image_);  // frees the pixel store as well
    }
}

bool XImageBuffer::CreateShared() {
    Display* display = connection_.display();
    image_ = XShmCreateImage(display, connection_.visual(), static_cast<unsigned>(connection_.depth()), ZPixmap,
                             nullptr, &segment_, static_cast<unsigned>(capacityWidth_),
                             static_cast<unsigned>(capacityHeight_));
    if (image_ == nullptr) return false;
    if (image_->bits_per_pixel != 32) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    segment_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * image_->height,
                            IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    segment_.readOnly = False;
    g_attachFailed = false;
    XErrorHandler previous = XSetErrorHandler(NoteAttachFailure);
    const bool attached = segment_.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &segment_) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    // Marked for removal now: the segment goes when both sides let go, even
    // if the program ends abruptly.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached || g_attachFailed) {
        if (segment_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(segment_.shmaddr);
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    shared_ = true;
    return true;
}

void XImageBuffer::CreatePlain() {
    const std::size_t bytes =
        static_cast<std::size_t>(capacityWidth_) * static_cast<std::size_t>(capacityHeight_) * 4;
    char* pixels = static_cast<char*>(std::calloc(bytes, 1));
    image_ = XCreateImage(connection_.display(), connection_.visual(), static_cast<unsigned>(connection_.depth()),
                          ZPixmap, 0, pixels, static_cast<unsigned>(capacityWidth_),
                          static_cast<unsigned>(capacityHeight_), 32, capacityWidth_ * 4);
}

std::optional<RECT> XImageBuffer::Update(const Bitmap& frame, const RECT& area) {
    if (image_ == nullptr) return std::nullopt;
    const int areaLeft = std::max<int>(area.left, 0);
    const int areaTop = std::max<int>(area.top, 0);
    const int areaRight = std::min({static_cast<int>(area.right), width_, frame.Width()});
    const int areaBottom = std::min({static_cast<int>(area.bottom), height_, frame.Height()});
    // After a new size the server holds none of the window's pixels: all go.
    const bool compare = filled_;
    filled_ = true;
    if (areaLeft >= areaRight || areaTop >= areaBottom) return std::nullopt;
    LONG top = areaBottom, bottom = areaTop, left = areaRight, right = areaLeft;
    const std::size_t rowBytes = static_cast<std::size_t>(areaRight - areaLeft) * sizeof(Pixel);
    for (int y = areaTop; y < areaBottom; ++y) {
        const Pixel* source = frame.Row(y);
        auto* target = reinterpret_cast<Pixel*>(image_->data + static_cast<std::ptrdiff_t>(y) * image_->bytes_per_line);
        if (compare && std::memcmp(source + areaLeft, target + areaLeft, rowBytes) == 0) continue;
        int first = areaLeft;
        int last = areaRight;
        if (compare) {
            while (source[first] == target[first]) ++first;
            while (source[last - 1] == target[last - 1]) --last;
        }
        std::memcpy(target + first, source + first, static_cast<std::size_t>(last - first) * sizeof(Pixel));
        top = std::min<LONG>(top, y);
        bottom = y + 1;
        left = std::min<LONG>(left, first);
        right = std::max<LONG>(right, last);
    }
    if (top >= bottom) return std::nullopt;
    return RECT{left, top, right, bottom};
}

void XImageBuffer::Put(::Window window, GC gc, const RECT& area) {
    if (image_ == nullptr) return;
    const RECT clipped{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0), std::min<LONG>(area.right, width_),
                       std::min<LONG>(area.bottom, height_)};
    if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) return;
    const auto w = static_cast<unsigned>(clipped.right - clipped.left);
    const auto h = static_cast<unsigned>(clipped.bottom - clipped.top);
    Display* display = connection_.display();
    if (shared_)
        XShmPutImage(display, window, gc, image_, static_cast<int>(clipped.left), static_cast<int>(clipped.top),
                     static_cast<int>(clipped.left), static_cast<int>(clipped.top), w, h, False);
    else
        XPutImage(display, window, gc, image_, static_cast<int>(clipped.left), static_cast<int>(clipped.top),
                  static_cast<int>(clipped.left), static_cast<int>(clipped.top), w, h);
    // The shared image may be written again only once the server has read it.
    if (shared_) XSync(display, False);
}

}  // namespace zem::platform::display

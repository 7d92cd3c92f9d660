// The pixels of one X window as the program last composed them, and their
// way to the server: a shared-memory image (MIT-SHM) where the server offers
// it, a plain XPutImage otherwise. Only the rectangle that changed since the
// last frame is sent. The image is made larger than the window, in steps, so
// that a window resized pixel by pixel keeps it.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <optional>

#include "platform/base/win32_types.h"
#include "platform/drawing/bitmap.h"

namespace zem::platform::display {

class XConnection;

class XImageBuffer {
public:
    XImageBuffer(XConnection& connection, int width, int height);
    ~XImageBuffer();
    XImageBuffer(const XImageBuffer&) = delete;
    XImageBuffer& operator=(const XImageBuffer&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Shared() const { return shared_; }
    // Whether the image can stand for a window of this size.
    bool Holds(int width, int height) const;
    // Takes the window's new size (one it Holds); the next Update sends
    // every pixel of its area, since the server has none of the new ones.
    void SetSize(int width, int height);

    // Copies `area` of `frame` (of this size) in and answers the bounding
    // rectangle of what changed there, or nothing when nothing did.
    std::optional<RECT> Update(const Bitmap& frame, const RECT& area);
    // Sends `area` of the image to `window`, and waits until the server has it.
    void Put(::Window window, GC gc, const RECT& area);

private:
    bool CreateShared();
    void CreatePlain();

    XConnection& connection_;
    int width_;
    int height_;
    int capacityWidth_;
    int capacityHeight_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    bool filled_ = false;
};

}  // namespace zem::platform::display

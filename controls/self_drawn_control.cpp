#include "controls/self_drawn_control.h"

#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"

namespace zem::controls {

SelfDrawnControl::SelfDrawnControl(zem::forms::Container& parent, std::string name, void* instance,
                                   PublicData::ThunkEntryRoutine entry)
    : UserControl(parent, std::move(name)), instance_(instance), entry_(entry) {
    SetScaleMode(zem::forms::vbPixels);
}

SelfDrawnControl::CallHold::CallHold(SelfDrawnControl& control) : control_(control) { ++control_.callDepth_; }

SelfDrawnControl::CallHold::~CallHold() {
    if (--control_.callDepth_ == 0 && control_.terminationPending_) {
        control_.terminationPending_ = false;
        control_.FinishTermination();
    }
}

void SelfDrawnControl::UserControl_Initialize() {
    hookedWindow_ = hWnd();
    PublicData::HookWindow(thunk_, hookedWindow_, instance_, entry_);
    windowDC_ = GetDC(hookedWindow_);
    backDC_ = CreateCompatibleDC(windowDC_);
    backOriginalBitmap_ = GetCurrentObject(backDC_, OBJ_BITMAP);
    skinDC_ = CreateCompatibleDC(windowDC_);
    skinOriginalBitmap_ = GetCurrentObject(skinDC_, OBJ_BITMAP);
    InitializeDrawing();
}

void SelfDrawnControl::UserControl_Terminate() {
    // Inside one of the control's own calls, the rest of that call still
    // draws through the DCs and calls the saved procedure: it finishes first.
    if (callDepth_ > 0) {
        terminationPending_ = true;
        return;
    }
    FinishTermination();
}

void SelfDrawnControl::FinishTermination() {
    // The skin DC lets go of the control's pictures before they are freed.
    SelectObject(skinDC_, skinOriginalBitmap_);
    TerminateDrawing();
    DeleteDC(skinDC_);
    SelectObject(backDC_, backOriginalBitmap_);
    if (backBitmap_ != nullptr) DeleteObject(backBitmap_);
    DeleteDC(backDC_);
    ReleaseDC(hookedWindow_, windowDC_);
    PublicData::UnhookWindow(thunk_, hookedWindow_);
    hookedWindow_ = nullptr;
    windowDC_ = backDC_ = skinDC_ = nullptr;
    backBitmap_ = nullptr;
    backOriginalBitmap_ = skinOriginalBitmap_ = nullptr;
}

void SelfDrawnControl::ResizeBackBuffer(int width, int height) {
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC_, width, height);
    // An empty size makes no bitmap: the DC takes its own back, so the one
    // before can go.
    SelectObject(backDC_, bitmap != nullptr ? bitmap : backOriginalBitmap_);
    if (backBitmap_ != nullptr) DeleteObject(backBitmap_);
    backBitmap_ = bitmap;
}

LRESULT SelfDrawnControl::CallSavedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(thunk_.OldProc, window, message, wParam, lParam);
}

}  // namespace zem::controls

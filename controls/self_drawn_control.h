// What the three self-drawn controls share as user controls of the forms
// runtime: for as long as the control is initialized, its own window is
// hooked through the window-hook thunk (so that the control's WindowProc sees
// every message first and passes on what it does not keep to the runtime's
// procedure), and it draws through the window's DC, an off-screen frame and a
// DC for its skin pictures. Their coordinates are pixels.
#pragma once

#include <string>

#include "controls/public_data.h"
#include "platform/forms/user_control.h"

namespace zem::controls {

class SelfDrawnControl : public zem::forms::UserControl {
public:
    // Keeps the control whole while one of its calls runs: a termination asked
    // for meanwhile (a handler of the call unloaded the form) waits until the
    // outermost hold is let go. The thunk entry holds it around WindowProc.
    class CallHold {
    public:
        explicit CallHold(SelfDrawnControl& control);
        ~CallHold();
        CallHold(const CallHold&) = delete;
        CallHold& operator=(const CallHold&) = delete;

    private:
        SelfDrawnControl& control_;
    };
    [[nodiscard]] CallHold HoldForCall() { return CallHold(*this); }

protected:
    // `instance` is the most derived object, the one `entry` calls.
    SelfDrawnControl(zem::forms::Container& parent, std::string name, void* instance,
                     PublicData::ThunkEntryRoutine entry);

    // The control's own part of initialization, once the hook and the DCs
    // exist, and of termination, while they still exist (the skin DC holds
    // its own bitmap again by then).
    virtual void InitializeDrawing() {}
    virtual void TerminateDrawing() {}

    bool Initialized() const { return backDC_ != nullptr; }
    HDC WindowDC() const { return windowDC_; }
    HDC BackDC() const { return backDC_; }
    HDC SkinDC() const { return skinDC_; }
    // A new off-screen frame of this size (none for an empty size), freeing
    // the one before.
    void ResizeBackBuffer(int width, int height);
    // The procedure the hook replaced: the runtime's.
    LRESULT CallSavedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    void UserControl_Initialize() final;
    void UserControl_Terminate() final;
    // Unhooks and frees what Initialize made.
    void FinishTermination();

    void* instance_;
    PublicData::ThunkEntryRoutine entry_;
    PublicData::SubclassThunk thunk_;
    int callDepth_ = 0;
    bool terminationPending_ = false;
    HWND hookedWindow_ = nullptr;  // hWnd() is gone by the time a held termination runs
    HDC windowDC_ = nullptr;
    HDC backDC_ = nullptr;
    HGDIOBJ backOriginalBitmap_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HDC skinDC_ = nullptr;
    HGDIOBJ skinOriginalBitmap_ = nullptr;
};

}  // namespace zem::controls

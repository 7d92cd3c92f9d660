// Forms: a window class with its controls and one handler per event, and the
// one global instance of each form class.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/clock.h"
#include "platform/forms/control.h"
#include "platform/forms/menu.h"
#include "platform/forms/runtime_error.h"

namespace zem::forms {

// Show modes and start-up positions.
inline constexpr int vbModeless = 0;
inline constexpr int vbModal = 1;
inline constexpr int vbStartUpManual = 0;
inline constexpr int vbStartUpOwner = 1;
inline constexpr int vbStartUpScreen = 2;
inline constexpr int vbStartUpWindowsDefault = 3;
// Window states.
inline constexpr int vbNormal = 0;
inline constexpr int vbMinimized = 1;
inline constexpr int vbMaximized = 2;

// A form's design, fixed before its window is made (set it in the
// constructor of the form class).
struct FormDesign {
    std::string caption;
    int clientWidth = 320;   // pixels
    int clientHeight = 240;  // pixels
    int borderStyle = 0;     // 0: no border; every window of this system draws its own frame
    // MaxButton: the window can be maximized (WS_MAXIMIZEBOX). A form without
    // it and without a sizing border has the size its program gives it.
    bool maxButton = false;
    bool showInTaskbar = true;
    int startUpPosition = vbStartUpScreen;
    int left = 0, top = 0;   // twips, for vbStartUpManual
};

// The base of every form class. Events of the form itself are virtual
// functions named as the runtime names them; controls' events are their
// handler members. A form is created, loaded and unloaded through its
// FormInstance.
class Form : public Container {
public:
    explicit Form(FormDesign design);
    ~Form() override;

    // Shows the form; a modal show returns when the form is hidden or unloaded.
    void Show(int modal = vbModeless, Form* owner = nullptr);
    void Hide();
    bool Visible() const;
    void SetVisible(bool visible);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    const PictureRef& Icon() const { return icon_; }
    void SetIcon(PictureRef icon);
    bool ShowInTaskbar() const { return design_.showInTaskbar; }
    int BorderStyle() const { return design_.borderStyle; }
    int WindowState() const;
    void SetWindowState(int state);
    // The form's place on the screen, in twips.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    // A missing argument keeps its value; a negative left or top is a place
    // like any other (above or left of the screen).
    void Move(float left, std::optional<float> top = std::nullopt, std::optional<float> width = std::nullopt,
              std::optional<float> height = std::nullopt);
    void SetLeft(float left) { Move(left, Top()); }
    void SetTop(float top) { Move(Left(), top); }
    void SetWidth(float width) { Move(Left(), Top(), width); }
    void SetHeight(float height) { Move(Left(), Top(), Width(), height); }
    Form* Owner() const { return owner_; }

    // Pops a menu up over the form at the pointer and waits until it closes.
    void PopupMenu(Menu& menu);

    // Unloads the form: Unload event (which may cancel), then its window and
    // controls go; the next use of its global instance makes it anew.
    void Unload();
    bool IsLoaded() const { return loaded_; }
    // Whether the form keeps its program running: loaded, and shown at least
    // once (visible now or hidden since). A form loaded but never shown only
    // holds something for the others (the menu of a tray icon) and no person
    // can reach it, so it keeps no program running without a window.
    bool KeepsProgramRunning() const { return loaded_ && shownOnce_; }

    // Form events.
    virtual void Form_Load() {}
    virtual void Form_Paint() {}
    virtual void Form_Resize() {}
    virtual void Form_Click() {}
    virtual void Form_DblClick() {}
    virtual void Form_MouseDown(int, int, float, float) {}
    virtual void Form_MouseMove(int, int, float, float) {}
    virtual void Form_MouseUp(int, int, float, float) {}
    virtual void Form_Unload(int& Cancel) { (void)Cancel; }

    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // For FormInstance: makes the window and runs Form_Load.
    void LoadForm(std::function<void()> forget);
    // Takes the window and controls' windows down without events and keeps
    // the object for FreeUnloadedForms (End, Unload).
    void TearDown();

protected:
    void RaisePaint() override;
    void RaiseResize() override;
    void RaiseMouse(UINT kind, int button, int shift, float x, float y) override;
    void RaiseClick(bool doubleClick) override;

private:
    void PlaceForFirstShow();
    void RunModal();
    void RequireLoaded() const;
    bool IsOwnVisibleWindow() const;

    FormDesign design_;
    std::string caption_;
    PictureRef icon_;
    Form* owner_ = nullptr;
    bool loaded_ = false;
    bool loadFinished_ = false;
    bool unloading_ = false;
    bool shownOnce_ = false;
    int pendingState_ = vbNormal;
    std::function<void()> forget_;
};

// One step of a message loop: runs one message (or, on a manual clock, the
// timers next due). Quit: WM_QUIT was read (and left pending for outer
// loops); Idle: nothing can ever arrive.
enum class LoopStep { Ran, Quit, Idle };
LoopStep RunOneLoopStep();

// How long a loop may run on the manual clock before it counts as endless.
inline constexpr platform::Milliseconds kManualLoopLimit = 60 * 60 * 1000;

// Bounds one loop: on a manual clock, Check throws EndlessManualLoop once the
// clock has moved kManualLoopLimit past where the loop began; a real clock
// never ends a loop.
class ManualLoopBound {
public:
    ManualLoopBound();
    void Check() const;

private:
    platform::Milliseconds start_ = 0;
};

// Whether a window timer falls due within `span` milliseconds from now. The
// loop writes a requested screen snapshot only when none does.
bool TimerDueWithin(platform::Milliseconds span);
inline constexpr platform::Milliseconds kSnapshotSettleMilliseconds = 500;

// Every loaded form, in load order.
const std::vector<Form*>& LoadedForms();
// Whether any loaded form keeps the program running (the program ends when
// none does): see Form::KeepsProgramRunning.
bool AnyFormKeepsProgramRunning();
// Takes every loaded form down without events (End); the objects wait for
// FreeUnloadedForms.
void UnloadAllFormsSilently();
// Unloads every form without events and frees every unloaded form (the end of
// a run, and tests).
void DiscardAllForms();
// Forms unloaded inside an event are freed when the outermost event returns.
void FreeUnloadedForms();

// The global instance of a form class: created and loaded on first use.
template <class T>
class FormInstance {
public:
    // The form, made and loaded when it is not loaded; error 364 when its
    // Load event unloaded it again.
    static T& Get() {
        if (T* form = TryGet()) return *form;
        throw RuntimeErrorFormUnloadedInLoad();
    }
    // The same, but nullptr when the Load event unloaded the form (or ended
    // the program) instead of error 364.
    static T* TryGet() {
        if (!instance_) {
            auto form = std::make_unique<T>();
            instance_ = form.release();
            instance_->LoadForm([] { instance_ = nullptr; });
        }
        return instance_;
    }
    static bool Loaded() { return instance_ != nullptr; }
    static void Unload() {
        if (instance_) instance_->Unload();
    }

private:
    static RuntimeError RuntimeErrorFormUnloadedInLoad();
    static inline T* instance_ = nullptr;
};

// Starts a program from its start-up form: loads it and shows it. A start-up
// form may unload itself in its Load event, or end the program there; that
// is no error, the program goes on with the forms it has.
template <class T>
void ShowStartUpForm() {
    if (T* form = FormInstance<T>::TryGet()) form->Show();
}

}  // namespace zem::forms

#include "platform/forms/runtime_error.h"

template <class T>
zem::forms::RuntimeError zem::forms::FormInstance<T>::RuntimeErrorFormUnloadedInLoad() {
    return RuntimeError(errObjectUnloaded, "Object was unloaded");
}

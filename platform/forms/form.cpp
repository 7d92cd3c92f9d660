#include "platform/forms/form.h"

#include <algorithm>
#include <cmath>

#include "platform/base/clock.h"
#include "platform/base/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/modal.h"
#include "platform/forms/program.h"
#include "platform/forms/runtime_error.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

namespace zem::forms {

namespace {
// Module state of the forms: the loaded ones in load order, the unloaded ones
// waiting to be freed outside every event, and the depth of modal loops.
std::vector<Form*> loadedForms;
std::vector<Form*> unloadedForms;
int modalDepth = 0;

class ModalDepth {
public:
    ModalDepth() { ++modalDepth; }
    ~ModalDepth() { --modalDepth; }
    ModalDepth(const ModalDepth&) = delete;
    ModalDepth& operator=(const ModalDepth&) = delete;
};
}  // namespace

const std::vector<Form*>& LoadedForms() { return loadedForms; }

bool AnyFormKeepsProgramRunning() {
    return std::any_of(loadedForms.begin(), loadedForms.end(), [](const Form* form) { return form->KeepsProgramRunning(); });
}

bool TimerDueWithin(platform::Milliseconds span) {
    const platform::TimerScheduler* timers = platform::CurrentTimerScheduler();
    if (timers == nullptr) return false;
    const std::optional<platform::Milliseconds> due = timers->NextDueTime();
    return due && *due < platform::CurrentClock().Now() + span;
}

LoopStep RunOneLoopStep() {
    MSG message{};
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the outer loops to see as well.
            PostQuitMessage(static_cast<int>(message.wParam));
            return LoopStep::Quit;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        return LoopStep::Ran;
    }
    // Nothing pending, paints included, and no timer about to change the
    // screen (a start-up window's short one-shot steps): the moment a
    // requested screen snapshot shows what a user sees.
    if (!TimerDueWithin(kSnapshotSettleMilliseconds)) platform::WriteRequestedSnapshot();
    // A manual clock runs the next timer's messages itself, inside the wait
    // (or, while real events may come, waits for them without moving).
    if (platform::CurrentManualClock()) return platform::WaitForMessages() ? LoopStep::Ran : LoopStep::Idle;
    const BOOL result = GetMessageA(&message, nullptr, 0, 0);
    if (result == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return LoopStep::Quit;
    }
    if (result == -1) return LoopStep::Idle;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return LoopStep::Ran;
}

ManualLoopBound::ManualLoopBound() {
    if (platform::ManualClock* clock = platform::CurrentManualClock()) start_ = clock->Now();
}

void ManualLoopBound::Check() const {
    platform::ManualClock* clock = platform::CurrentManualClock();
    if (clock != nullptr && clock->Now() - start_ > kManualLoopLimit)
        throw EndlessManualLoop("a timer keeps repeating: the loop never runs out on the manual clock");
}

void FreeUnloadedForms() {
    // A form unloaded from inside a modal loop may still have a handler on the
    // stack below it; it is freed once the outermost loop runs again.
    if (modalDepth > 0) return;
    std::vector<Form*> forms;
    forms.swap(unloadedForms);
    for (Form* form : forms) delete form;
}

void UnloadAllFormsSilently() {
    std::vector<Form*> forms = loadedForms;
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) (*it)->TearDown();
}

void DiscardAllForms() {
    UnloadAllFormsSilently();
    std::vector<Form*> forms;
    forms.swap(unloadedForms);
    for (Form* form : forms) delete form;
}

Form::Form(FormDesign design) : design_(std::move(design)), caption_(design_.caption) {}

Form::~Form() {
    if (loaded_) {
        loadedForms.erase(std::remove(loadedForms.begin(), loadedForms.end(), this), loadedForms.end());
        if (forget_) forget_();
    }
    unloadedForms.erase(std::remove(unloadedForms.begin(), unloadedForms.end(), this), unloadedForms.end());
    DestroyChildWindows();
    DestroyOwnedWindow();
}

void Form::LoadForm(std::function<void()> forget) {
    forget_ = std::move(forget);
    const DWORD exStyle = design_.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    if (design_.borderStyle != 0) style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (design_.maxButton) style |= WS_MAXIMIZEBOX;
    CreateOwnedWindow(exStyle, style, RECT{0, 0, design_.clientWidth, design_.clientHeight}, nullptr, caption_);
    if (icon_) platform::SetWindowIconHandle(hWnd(), icon_->Icon());
    loaded_ = true;
    loadedForms.push_back(this);
    CreateChildWindows();
    RunEventHandler([this] { Form_Load(); });
    if (!loaded_) return;
    loadFinished_ = true;
    CheckResize();
}

void Form::TearDown() {
    if (!loaded_) return;
    // The forms it owns go first: their windows would go with its window.
    for (Form* form : std::vector<Form*>(loadedForms))
        if (form->owner_ == this) form->TearDown();
    owner_ = nullptr;
    loaded_ = false;
    loadFinished_ = false;
    loadedForms.erase(std::remove(loadedForms.begin(), loadedForms.end(), this), loadedForms.end());
    if (hWnd()) ShowWindow(hWnd(), SW_HIDE);
    DestroyChildWindows();
    DestroyOwnedWindow();
    // Only a form made by its global instance is freed by the runtime.
    if (forget_) {
        auto forget = std::move(forget_);
        forget_ = nullptr;
        forget();
        unloadedForms.push_back(this);
    }
    if (!AnyFormKeepsProgramRunning()) WakeProgramLoop();
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    int cancel = 0;
    unloading_ = true;
    RunEventHandler([&] { Form_Unload(cancel); });
    unloading_ = false;
    if (!loaded_) return;  // End ran inside the Unload event
    if (cancel != 0 && !Ended()) return;
    TearDown();
}

void Form::RequireLoaded() const {
    if (!loaded_) throw RuntimeError(errObjectUnloaded);
}

void Form::PlaceForFirstShow() {
    RECT rect = platform::WindowScreenRect(hWnd());
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    POINT place{rect.left, rect.top};
    switch (design_.startUpPosition) {
        case vbStartUpManual: place = POINT{design_.left / TwipsPerPixel, design_.top / TwipsPerPixel}; break;
        case vbStartUpOwner:
            if (owner_ != nullptr && owner_->hWnd() != nullptr) {
                const RECT ownerRect = platform::WindowScreenRect(owner_->hWnd());
                place = POINT{ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2,
                              ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2};
                break;
            }
            [[fallthrough]];  // no owner: centred on the screen
        case vbStartUpScreen: {
            const platform::DesktopSettings desktop = platform::CurrentDesktop();
            place = POINT{(desktop.width - width) / 2, (desktop.height - height) / 2};
            break;
        }
        default:
            // The system's default place is the window layer's: where the
            // window was made, the top-left corner of the screen.
            break;
    }
    SetWindowPos(hWnd(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int modal, Form* owner) {
    RequireLoaded();
    if (owner != nullptr && owner != owner_ && owner->hWnd() != nullptr) {
        // Owned: its window stays above the owner's, hides while the owner is
        // minimized, goes with it, and has no taskbar entry of its own. The
        // window layer refuses an owner that would come to own itself.
        SetWindowLongPtrA(hWnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner->hWnd()));
        if (platform::OwnerWindow(hWnd()) == owner->hWnd()) owner_ = owner;
    }
    if (!shownOnce_) {
        shownOnce_ = true;
        PlaceForFirstShow();
        const int command = pendingState_ == vbMaximized   ? SW_SHOWMAXIMIZED
                            : pendingState_ == vbMinimized ? SW_SHOWMINIMIZED
                                                           : SW_SHOW;
        ShowWindow(hWnd(), command);
    } else if (!IsOwnVisibleWindow()) {
        ShowWindow(hWnd(), SW_SHOW);
    } else {
        // Shown already: it comes forward and becomes the active window.
        SetForegroundWindow(hWnd());
    }
    if (modal == vbModal) RunModal();
}

bool Form::IsOwnVisibleWindow() const { return hWnd() != nullptr && platform::IsOwnVisible(hWnd()); }

void Form::RunModal() {
    ModalDepth depth;
    HWND ownerWindow = owner_ != nullptr ? owner_->hWnd() : nullptr;
    const bool ownerWasEnabled = ownerWindow != nullptr && IsWindowEnabled(ownerWindow);
    if (ownerWasEnabled) EnableWindow(ownerWindow, FALSE);
    struct RestoreOwner {
        HWND window;
        bool enable;
        ~RestoreOwner() {
            if (enable && IsWindow(window)) EnableWindow(window, TRUE);
        }
    } restore{ownerWindow, ownerWasEnabled};
    // The form's own loop: it returns when the form is hidden or unloaded.
    // With nothing that could ever arrive (a manual clock without timers or
    // input) it fails loudly instead of waiting for ever.
    const ManualLoopBound bound;
    while (loaded_ && IsOwnVisibleWindow() && !Ended()) {
        bound.Check();
        const LoopStep step = RunOneLoopStep();
        if (step == LoopStep::Quit) break;
        if (step == LoopStep::Idle) throw UnscriptedModalStep("a modal form waits for input that can never arrive");
    }
}

void Form::Hide() {
    if (loaded_ && hWnd()) ShowWindow(hWnd(), SW_HIDE);
}

bool Form::Visible() const { return loaded_ && IsOwnVisibleWindow(); }

void Form::SetVisible(bool visible) {
    if (!visible)
        Hide();
    else if (!Visible())
        Show();
}

void Form::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (hWnd()) SetWindowTextA(hWnd(), platform::Utf8ToGbk(caption_).c_str());
}

void Form::SetIcon(PictureRef icon) {
    icon_ = std::move(icon);
    if (hWnd()) platform::SetWindowIconHandle(hWnd(), icon_ ? icon_->Icon() : nullptr);
}

int Form::WindowState() const {
    if (!hWnd() || !shownOnce_) return pendingState_;
    if (platform::IsMinimizedWindow(hWnd())) return vbMinimized;
    if (platform::IsMaximizedWindow(hWnd())) return vbMaximized;
    return vbNormal;
}

void Form::SetWindowState(int state) {
    if (state < vbNormal || state > vbMaximized) throw RuntimeError(errInvalidPropertyValue);
    RequireLoaded();
    if (!shownOnce_) {
        pendingState_ = state;
        return;
    }
    // Through the window layer, so that WM_GETMINMAXINFO hooks decide the
    // maximized place.
    ShowWindow(hWnd(), state == vbMaximized ? SW_MAXIMIZE : state == vbMinimized ? SW_MINIMIZE : SW_RESTORE);
}

float Form::Left() const { return static_cast<float>(platform::WindowScreenRect(hWnd()).left * TwipsPerPixel); }
float Form::Top() const { return static_cast<float>(platform::WindowScreenRect(hWnd()).top * TwipsPerPixel); }
float Form::Width() const {
    const RECT rect = platform::WindowScreenRect(hWnd());
    return static_cast<float>((rect.right - rect.left) * TwipsPerPixel);
}
float Form::Height() const {
    const RECT rect = platform::WindowScreenRect(hWnd());
    return static_cast<float>((rect.bottom - rect.top) * TwipsPerPixel);
}

void Form::Move(float left, std::optional<float> top, std::optional<float> width, std::optional<float> height) {
    RequireLoaded();
    const auto pixels = [](float twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel)); };
    const RECT rect = platform::WindowScreenRect(hWnd());
    const int x = pixels(left);
    const int y = top ? pixels(*top) : rect.top;
    const int w = width ? SizeInPixels(pixels(*width)) : rect.right - rect.left;
    const int h = height ? SizeInPixels(pixels(*height)) : rect.bottom - rect.top;
    MoveWindow(hWnd(), x, y, w, h, TRUE);
}

void Form::PopupMenu(Menu& menu) { TrackPopupMenu(menu); }

LRESULT Form::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: Unload(); return 0;
        case WM_SIZE:
            if (loadFinished_) CheckResize();
            return 0;
        default: return Container::WindowMessage(message, wParam, lParam);
    }
}

void Form::RaisePaint() {
    RunEventHandler([this] { Form_Paint(); });
}
void Form::RaiseResize() {
    RunEventHandler([this] { Form_Resize(); });
}
void Form::RaiseMouse(UINT kind, int button, int shift, float x, float y) {
    RunEventHandler([&] {
        if (kind == WM_LBUTTONDOWN)
            Form_MouseDown(button, shift, x, y);
        else if (kind == WM_LBUTTONUP)
            Form_MouseUp(button, shift, x, y);
        else
            Form_MouseMove(button, shift, x, y);
    });
}
void Form::RaiseClick(bool doubleClick) {
    RunEventHandler([&] {
        if (doubleClick)
            Form_DblClick();
        else
            Form_Click();
    });
}

}  // namespace zem::forms

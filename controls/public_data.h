// The window-hook thunk of the self-drawn controls. A window procedure is a
// plain function of (window, message, wParam, lParam); a control's handler is
// a member of one instance. Each instance owns a SubclassThunk whose stub puts
// the instance in front of the four arguments and jumps to an entry routine,
// which calls the instance's WindowProc.
//
// On x86-64 the stub is machine code (System V calling convention):
//
//   offset  bytes                 instruction
//    0      F3 0F 1E FA           endbr64          a valid target of an indirect call
//    4      49 89 C8              mov r8, rcx      lParam  -> fifth argument
//    7      48 89 D1              mov rcx, rdx     wParam  -> fourth
//   10      48 89 F2              mov rdx, rsi     message -> third
//   13      48 89 FE              mov rsi, rdi     window  -> second
//   16      48 BF <instance:8>    mov rdi, instance         first
//   26      48 B8 <entry:8>       mov rax, entry
//   36      FF E0                 jmp rax
//   38      CC CC                 padding to 40 bytes
//
// The arguments travel in registers, so the stub moves registers where a
// stack-based stub would rewrite the stack; the return address is untouched
// and the entry routine returns straight to the caller. Elsewhere the same
// routing comes from a pool of distinct procedures, one per live thunk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "platform/base/executable_code.h"
#include "platform/window/user32.h"

namespace PublicData {

using ThunkEntryRoutine = LRESULT (*)(void* instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr std::size_t kThunkCodeSize = 40;

struct SubclassThunk {
    SubclassThunk() = default;
    // A thunk still hooked when its instance goes away unhooks itself, so the
    // window never calls into a freed stub.
    ~SubclassThunk();
    // The stub carries this record's instance: a record is never copied.
    SubclassThunk(const SubclassThunk&) = delete;
    SubclassThunk& operator=(const SubclassThunk&) = delete;

    WNDPROC OldProc = nullptr;                         // the procedure HookWindow replaced
    std::uintptr_t Thunk = 0;                          // the stub's address while hooked; 0 after UnhookWindow
    std::array<unsigned char, kThunkCodeSize> Code{};  // the stub's bytes
    HWND Window = nullptr;                             // the window hooked
    zem::platform::ExecutableCode Executable;          // where Code runs (x86-64)
    WNDPROC Slot = nullptr;                            // the pool procedure (other processors)
};

// Writes the stub with the instance and the entry in place and sets Thunk.
void InitThunk(SubclassThunk& thunk, void* instance, ThunkEntryRoutine entry);
// InitThunk, then makes the stub the window's procedure, keeping the one it replaced in OldProc.
void HookWindow(SubclassThunk& thunk, HWND window, void* instance, ThunkEntryRoutine entry);
// Puts OldProc back and clears Thunk; a second call does nothing.
void UnhookWindow(SubclassThunk& thunk, HWND window);

// The entry routine of a control class: holds the control alive for the time
// of the call and returns what its WindowProc returns. A control that offers
// HoldForCall() (the self-drawn controls) gets a hold for the call, so that
// whatever the call's handlers do to the control (unloading its form
// terminates it) waits until the outermost call has returned; a shared one
// (std::enable_shared_from_this) a counted reference.
// A control declares its entry in one line:
//   inline constexpr PublicData::ThunkEntryRoutine ScrollBarThunkEntry = &PublicData::ThunkEntry<SFVScrollBar>;
template <class Control>
LRESULT ThunkEntry(void* instance, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* control = static_cast<Control*>(instance);
    if constexpr (requires { control->HoldForCall(); }) {
        const auto hold = control->HoldForCall();
        return control->WindowProc(window, message, wParam, lParam);
    } else if constexpr (requires { control->weak_from_this(); }) {
        // A shared control may drop its last owner inside its own handler.
        const auto keep = control->weak_from_this().lock();
        return control->WindowProc(window, message, wParam, lParam);
    } else {
        return control->WindowProc(window, message, wParam, lParam);
    }
}

namespace detail {
// The stub's bytes for an instance and an entry.
std::array<unsigned char, kThunkCodeSize> StubCode(void* instance, ThunkEntryRoutine entry);
// The processor-independent routing: a distinct procedure bound to (instance,
// entry) until released; null when every procedure of the pool is taken.
WNDPROC AcquireSlot(void* instance, ThunkEntryRoutine entry);
void ReleaseSlot(WNDPROC slot);
}  // namespace detail

}  // namespace PublicData

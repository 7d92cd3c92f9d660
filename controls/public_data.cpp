#include "controls/public_data.h"

#include <cstring>
#include <utility>

namespace PublicData {
namespace detail {

std::array<unsigned char, kThunkCodeSize> StubCode(void* instance, ThunkEntryRoutine entry) {
    std::array<unsigned char, kThunkCodeSize> code{};
    code.fill(0xCC);
    const unsigned char shift[] = {0xF3, 0x0F, 0x1E, 0xFA, 0x49, 0x89, 0xC8, 0x48,
                                   0x89, 0xD1, 0x48, 0x89, 0xF2, 0x48, 0x89, 0xFE};
    std::memcpy(code.data(), shift, sizeof shift);
    const auto instanceValue = reinterpret_cast<std::uint64_t>(instance);
    const auto entryValue = reinterpret_cast<std::uint64_t>(entry);
    code[16] = 0x48;
    code[17] = 0xBF;
    std::memcpy(code.data() + 18, &instanceValue, 8);  // little-endian, as the processor reads it
    code[26] = 0x48;
    code[27] = 0xB8;
    std::memcpy(code.data() + 28, &entryValue, 8);
    code[36] = 0xFF;
    code[37] = 0xE0;
    return code;
}

namespace {

struct SlotBinding {
    void* instance = nullptr;
    ThunkEntryRoutine entry = nullptr;
};

constexpr std::size_t kSlotCount = 64;
std::array<SlotBinding, kSlotCount> g_slots{};

template <std::size_t Index>
LRESULT SlotProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const SlotBinding& binding = g_slots[Index];
    return binding.entry != nullptr ? binding.entry(binding.instance, window, message, wParam, lParam) : 0;
}

template <std::size_t... Index>
constexpr std::array<WNDPROC, kSlotCount> MakeSlotProcs(std::index_sequence<Index...>) {
    return {&SlotProc<Index>...};
}
constexpr std::array<WNDPROC, kSlotCount> kSlotProcs = MakeSlotProcs(std::make_index_sequence<kSlotCount>{});

}  // namespace

WNDPROC AcquireSlot(void* instance, ThunkEntryRoutine entry) {
    for (std::size_t index = 0; index < kSlotCount; ++index) {
        if (g_slots[index].entry == nullptr) {
            g_slots[index] = SlotBinding{instance, entry};
            return kSlotProcs[index];
        }
    }
    return nullptr;
}

void ReleaseSlot(WNDPROC slot) {
    for (std::size_t index = 0; index < kSlotCount; ++index)
        if (kSlotProcs[index] == slot) g_slots[index] = SlotBinding{};
}

}  // namespace detail

SubclassThunk::~SubclassThunk() {
    if (Thunk != 0 && IsWindow(Window) && GetWindowLongPtrA(Window, GWL_WNDPROC) == static_cast<LONG_PTR>(Thunk))
        UnhookWindow(*this, Window);
    if (Slot != nullptr) detail::ReleaseSlot(Slot);
}

void InitThunk(SubclassThunk& thunk, void* instance, ThunkEntryRoutine entry) {
    thunk.Code = detail::StubCode(instance, entry);
#if defined(__x86_64__)
    // The record's bytes are copied to memory that is switched to executable
    // once written; the address stays put when the thunk is written again.
    thunk.Thunk = thunk.Executable.Write(thunk.Code) ? reinterpret_cast<std::uintptr_t>(thunk.Executable.address()) : 0;
#else
    if (thunk.Slot != nullptr) detail::ReleaseSlot(thunk.Slot);
    thunk.Slot = detail::AcquireSlot(instance, entry);
    thunk.Thunk = reinterpret_cast<std::uintptr_t>(thunk.Slot);
#endif
}

void HookWindow(SubclassThunk& thunk, HWND window, void* instance, ThunkEntryRoutine entry) {
    InitThunk(thunk, instance, entry);
    // Without a stub the window keeps its procedure rather than losing it.
    if (thunk.Thunk == 0) return;
    thunk.Window = window;
    thunk.OldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWL_WNDPROC, static_cast<LONG_PTR>(thunk.Thunk)));
}

void UnhookWindow(SubclassThunk& thunk, HWND window) {
    if (thunk.Thunk == 0) return;
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(thunk.OldProc));
    thunk.Thunk = 0;
    thunk.Window = nullptr;
}

}  // namespace PublicData

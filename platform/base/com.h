// Component-object basics: result codes, interface identifiers, IUnknown with
// real reference counting, and a smart reference that keeps the count balanced.
#pragma once

#include <atomic>
#include <cstring>
#include <utility>

#include "platform/base/win32_types.h"

// Result codes. A failure has the high bit set.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

// UTF-16 text as interfaces pass it.
using WCHAR = char16_t;
using LPCWSTR = const WCHAR*;

struct GUID {
    DWORD Data1 = 0;
    WORD Data2 = 0;
    WORD Data3 = 0;
    BYTE Data4[8] = {};
};
using IID = GUID;
using REFIID = const IID&;

inline bool IsEqualGUID(const GUID& left, const GUID& right) {
    return std::memcmp(&left, &right, sizeof(GUID)) == 0;
}
inline bool operator==(const GUID& left, const GUID& right) {
    return IsEqualGUID(left, right);
}

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;  // objects end through Release, never through delete on an interface
};

namespace zem::platform {

// The reference count of one object: starts at 1 for its creator; the
// object deletes itself in Release when Drop answers 0.
class RefCounted {
public:
    ULONG Add() { return ++count_; }
    ULONG Drop() { return --count_; }
    ULONG Count() const { return count_; }

private:
    std::atomic<ULONG> count_{1};
};

// Holds one reference to an interface or object and releases it when it goes.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(std::nullptr_t) {}
    // Takes over a reference the caller already owns (such as a fresh object's).
    static ComRef Adopt(T* pointer) {
        ComRef ref;
        ref.pointer_ = pointer;
        return ref;
    }
    // Adds a reference of its own.
    static ComRef Share(T* pointer) {
        if (pointer) pointer->AddRef();
        return Adopt(pointer);
    }
    ComRef(const ComRef& other) : pointer_(other.pointer_) {
        if (pointer_) pointer_->AddRef();
    }
    ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }
    ~ComRef() { Reset(); }

    void Reset() {
        if (T* old = std::exchange(pointer_, nullptr)) old->Release();
    }
    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    T& operator*() const { return *pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

private:
    T* pointer_ = nullptr;
};

// A new object of class T holding its creator's one reference.
template <class T, class... Args>
ComRef<T> MakeCom(Args&&... args) {
    return ComRef<T>::Adopt(new T(std::forward<Args>(args)...));
}

}  // namespace zem::platform

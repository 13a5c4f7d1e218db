#pragma once
// Owners of Win32 resources that give them back when they leave scope, so that
// an early return or an exception leaks nothing. Each is move-only.
#include <windows.h>
#include <objbase.h>

#include <utility>

#include "base/SystemLibrary_win.h"

namespace vesko {

// A kernel handle (file, token, process) closed with CloseHandle. Both null
// and INVALID_HANDLE_VALUE mean "nothing held".
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Release() { return std::exchange(handle_, nullptr); }
    void Reset(HANDLE handle = nullptr) {
        if (*this) ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// The device context of a window (or of the screen for a null window) from
// GetDC, given back with ReleaseDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint around a WM_PAINT handler.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { ::EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A GDI object (font, brush, pen, bitmap) deleted with DeleteObject.
template <class Object>
class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Object object) : object_(object) {}
    ~ScopedGdiObject() { Reset(); }
    ScopedGdiObject(ScopedGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.object_, nullptr));
        return *this;
    }

    Object Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void Reset(Object object = nullptr) {
        if (object_) ::DeleteObject(object_);
        object_ = object;
    }

private:
    Object object_ = nullptr;
};

// An object selected into a device context; the one it replaced is selected
// back when the guard goes, before the context itself is released.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A system library, from the system folder only (LoadSystemLibrary), freed
// with FreeLibrary. Function lookups on a library that did not load answer
// nullptr, so callers check only the function they need.
class ScopedLibrary {
public:
    explicit ScopedLibrary(const wchar_t* name) : module_(LoadSystemLibrary(name)) {}
    ~ScopedLibrary() {
        if (module_) ::FreeLibrary(module_);
    }
    ScopedLibrary(ScopedLibrary&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
    ScopedLibrary& operator=(ScopedLibrary&&) = delete;
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;

    HMODULE Get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }

    // The export `name` as a pointer of type Fn (a function pointer type).
    template <class Fn>
    Fn Function(const char* name) const {
        if (!module_) return nullptr;
        // Through void*: FARPROC's own type is unrelated to Fn.
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

// A COM interface pointer, released when the guard goes.
template <class Interface>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr() { Reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;

    Interface* Get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that hands out a new reference; what was held goes first.
    Interface** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    Interface* p_ = nullptr;
};

// COM on this thread for the guard's lifetime, from ole32 loaded for it: the
// resident program needs COM only for the rare shell call (a link, the file
// dialog, the help page), and importing ole32 would map it and its runtime
// into every running copy. CoUninitialize only follows a successful
// CoInitializeEx (S_FALSE included: the count still went up).
class ScopedComInit {
public:
    explicit ScopedComInit(DWORD model = COINIT_APARTMENTTHREADED) : ole32_(L"ole32.dll") {
        auto init = ole32_.Function<HRESULT(WINAPI*)(LPVOID, DWORD)>("CoInitializeEx");
        result_ = init ? init(nullptr, model) : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    ~ScopedComInit() {
        if (!SUCCEEDED(result_)) return;
        if (auto uninit = ole32_.Function<void(WINAPI*)()>("CoUninitialize")) uninit();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

    bool Initialized() const { return SUCCEEDED(result_); }
    HRESULT Result() const { return result_; }

    // CoCreateInstance for an in-process server.
    HRESULT CreateInstance(REFCLSID clsid, REFIID iid, void** out) const {
        *out = nullptr;
        auto create =
            ole32_.Function<HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*)>("CoCreateInstance");
        return create ? create(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out)
                      : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }

private:
    ScopedLibrary ole32_;
    HRESULT result_;
};

}  // namespace vesko

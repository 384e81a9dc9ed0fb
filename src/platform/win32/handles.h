// Every Win32 handle the real platform holds is owned by one of the small
// types here, and the handles the interface passes around as numbers are
// converted here. Shared by the Win32 implementation files only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/types.h"

namespace wl::win32 {

// Handles travel through the interface as unsigned 64-bit values; the
// conversion keeps every bit and never sign-extends.
inline HWND to_hwnd(Hwnd h) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h));
}
inline Hwnd from_hwnd(HWND h) {
    return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(h));
}
inline HMENU to_hmenu(MenuHandle m) {
    return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(m));
}
inline MenuHandle from_hmenu(HMENU m) {
    return static_cast<MenuHandle>(reinterpret_cast<std::uintptr_t>(m));
}
template <class H>
std::uint64_t handle_value(H h) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(h));
}

// ---------------------------------------------------------------------------
// Owners of handles that are released with one call.

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct HandleDeleter {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct FindDeleter {
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
struct MenuDeleter {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct IconDeleter {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct CursorDeleter {
    void operator()(HCURSOR cursor) const { ::DestroyCursor(cursor); }
};

template <class H, class D>
using Unique = std::unique_ptr<std::remove_pointer_t<H>, D>;

using UniqueBrush = Unique<HBRUSH, GdiObjectDeleter>;
using UniqueFont = Unique<HFONT, GdiObjectDeleter>;
using UniquePen = Unique<HPEN, GdiObjectDeleter>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectDeleter>;
using UniqueHandle = Unique<HANDLE, HandleDeleter>;
using UniqueFind = Unique<HANDLE, FindDeleter>;
using UniqueMenu = Unique<HMENU, MenuDeleter>;
using UniqueIcon = Unique<HICON, IconDeleter>;
using UniqueCursor = Unique<HCURSOR, CursorDeleter>;

// Takes ownership of a kernel handle from a call that signals failure with
// INVALID_HANDLE_VALUE (CreateFileA, FindFirstFileA): that gives an empty
// owner, never one that would close it.
template <class D>
Unique<HANDLE, D> adopt(HANDLE handle, D deleter) {
    return Unique<HANDLE, D>(handle == INVALID_HANDLE_VALUE ? nullptr : handle, deleter);
}

// A named mutex this thread owns from its creation: released, then
// closed, when the owner goes, so that a waiter sees it free rather than
// abandoned.
class OwnedMutex {
  public:
    OwnedMutex() = default;
    explicit OwnedMutex(HANDLE mutex) : mutex_(mutex) {}
    ~OwnedMutex() {
        if (mutex_)
            ::ReleaseMutex(mutex_.get());
    }
    OwnedMutex(OwnedMutex&&) = default;
    OwnedMutex& operator=(OwnedMutex&& other) noexcept {
        if (this != &other) {
            if (mutex_)
                ::ReleaseMutex(mutex_.get());
            mutex_ = std::move(other.mutex_);
        }
        return *this;
    }
    explicit operator bool() const { return mutex_ != nullptr; }

  private:
    UniqueHandle mutex_;
};

// ---------------------------------------------------------------------------
// Device contexts, each released the way it was obtained.

// From GetDC / GetWindowDC, released with ReleaseDC.
class WindowDc {
  public:
    enum class Area { Client, Whole };
    WindowDc(HWND window, Area area)
        : window_(window), dc_(area == Area::Whole ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr)
            ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// From BeginPaint, ended with EndPaint: the painting of one WM_PAINT.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// From CreateCompatibleDC, deleted with DeleteDC: for blitting a bitmap.
class MemoryDc {
  public:
    explicit MemoryDc(HDC reference) : dc_(::CreateCompatibleDC(reference)) {}
    ~MemoryDc() {
        if (dc_ != nullptr)
            ::DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A GDI object selected into a DC for a scope, the old one put back after.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectObjectScope() {
        if (old_ != nullptr && old_ != HGDI_ERROR)
            ::SelectObject(dc_, old_);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace wl::win32

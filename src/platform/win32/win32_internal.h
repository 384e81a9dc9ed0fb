// Shared by the Win32 implementation files only: handle conversions and
// RAII owners of Win32 resources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

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
// RAII owners.

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
using UniqueMenu = Unique<HMENU, MenuDeleter>;
using UniqueIcon = Unique<HICON, IconDeleter>;
using UniqueCursor = Unique<HCURSOR, CursorDeleter>;

// A kernel handle that signals failure with INVALID_HANDLE_VALUE.
inline UniqueHandle adopt_file(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// A device context from GetDC / GetWindowDC, released with ReleaseDC.
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

// Selects a GDI object into a DC for a scope.
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

// The whole text of a window (GetWindowTextLengthA + GetWindowTextA).
std::string window_text(HWND window);

}  // namespace wl::win32

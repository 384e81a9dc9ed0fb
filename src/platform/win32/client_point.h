// Points of mouse messages, in the client area of the window they came to.
#pragma once

#include <windows.h>

namespace wl::win32 {

inline POINT point_of(LPARAM lparam) {
    return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

// Whether a mouse message's point lies in the window's client area.
inline bool inside_client(HWND hwnd, LPARAM lparam) {
    RECT client{};
    return ::GetClientRect(hwnd, &client) && ::PtInRect(&client, point_of(lparam));
}

}  // namespace wl::win32

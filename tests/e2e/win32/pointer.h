// The real pointer, as a user moves it: SendInput in absolute screen
// coordinates, shared by the tools that drive the finder.
#pragma once

#include <windows.h>

#include <algorithm>

namespace e2e {

inline void send_mouse(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = MulDiv(screen.x, 65535, std::max(width - 1, 1));
    input.mi.dy = MulDiv(screen.y, 65535, std::max(height - 1, 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

inline void move_pointer(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    send_mouse(0, screen);
}

inline POINT centre_of(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace e2e

// The pointer: presses on the picture boxes, which keep the pointer until
// their buttons are up (the shared press rule), capture lost on the way, and
// the main window's mouse pointer.
#include <windows.h>

#include "platform/win32/client_point.h"
#include "platform/win32/host_state.h"

namespace wl::win32 {

namespace {

// The mouse button of a button message: 1 left, 2 right, 4 middle.
int button_of(UINT message) {
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 4;
        default:
            return 1;
    }
}

}  // namespace

bool Win32Host::Impl::on_picture_pointer(ControlRecord& record, HWND hwnd, UINT message,
                                         WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The pressed box keeps the pointer until its buttons are up.
            if (record.pointer.press(button_of(message)) || ::GetCapture() != hwnd)
                ::SetCapture(hwnd);
            mouse_event(record, EventKind::MouseDown, button_of(message), wparam, lparam);
            return true;
        case WM_MOUSEMOVE: {
            const int buttons = ((wparam & MK_LBUTTON) != 0 ? 1 : 0) |
                                ((wparam & MK_RBUTTON) != 0 ? 2 : 0) |
                                ((wparam & MK_MBUTTON) != 0 ? 4 : 0);
            mouse_event(record, EventKind::MouseMove, buttons, wparam, lparam);
            return true;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            on_picture_release(record, hwnd, message, wparam, lparam);
            return true;
        case WM_CAPTURECHANGED:
            // Taken away before the release (another window took the
            // pointer, the user switched away): the release will not come.
            if (reinterpret_cast<HWND>(lparam) != hwnd && record.pointer.lose_capture())
                events.deliver(record, EventKind::LostCapture);
            return true;
        default:
            return false;
    }
}

void Win32Host::Impl::on_picture_release(ControlRecord& record, HWND hwnd, UINT message,
                                         WPARAM wparam, LPARAM lparam) {
    // A release whose press went elsewhere (the form's background, say) is
    // not this box's: without a capture it merely ended over it.
    const int button = button_of(message);
    if (!record.pointer.release(button))
        return;
    const bool click = button == 1 && inside_client(hwnd, lparam);
    mouse_event(record, EventKind::MouseUp, button, wparam, lparam);
    if (!record.pointer.held() && ::GetCapture() == hwnd)
        ::ReleaseCapture();
    if (click)
        events.deliver(record, EventKind::Click);
}

void Win32Host::Impl::mouse_event(ControlRecord& record, EventKind kind, int button, WPARAM wparam,
                                  LPARAM lparam) {
    UiEvent event;
    event.control = record.design.name;
    event.index = record.design.index;
    event.kind = kind;
    event.button = button;
    event.shift = ((wparam & MK_SHIFT) != 0 ? 1 : 0) | ((wparam & MK_CONTROL) != 0 ? 2 : 0) |
                  (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
    // The tray icon's notifications arrive here as WM_MOUSEMOVE whose lParam
    // is the shell's mouse message: x in pixels is that message number.
    const POINT p = point_of(lparam);
    // Multiplied in single precision: x / (float)twips_per_pixel then gives
    // the pixel value back exactly at every DPI (not so for a product
    // rounded from double, at 168 DPI for one).
    event.x = static_cast<float>(p.x) * static_cast<float>(screen.twips_per_pixel_x());
    event.y = static_cast<float>(p.y) * static_cast<float>(screen.twips_per_pixel_y());
    events.deliver(event);
}

// The window went inactive or was told to cancel modes (Alt+Tab, another
// program's window in front, Ctrl+Alt+Del): a press still held on one of our
// boxes will not see its release, so its capture goes now. Windows does not
// always take the capture away from a background thread by itself.
void Win32Host::Impl::cancel_pointer_presses() {
    for (ControlRecord* record : controls.in_order()) {
        if (!record->pointer.held())
            continue;
        if (record->hwnd != nullptr && ::GetCapture() == record->hwnd) {
            ::ReleaseCapture();  // WM_CAPTURECHANGED ends the press
        } else if (record->pointer.lose_capture()) {
            events.deliver(*record, EventKind::LostCapture);
        }
    }
}

bool Win32Host::Impl::on_set_cursor(HWND target, UINT hit_test) {
    if (pointer != MousePointer::Custom || hit_test != HTCLIENT || !window.holds(target))
        return false;
    const HCURSOR cursor = images.cursor(mouse_icon);
    if (cursor == nullptr)
        return false;
    ::SetCursor(cursor);
    return true;
}

void Win32Host::Impl::apply_pointer() {
    // While the mouse is captured no WM_SETCURSOR arrives: set it now.
    const HCURSOR custom = images.cursor(mouse_icon);
    if (pointer == MousePointer::Custom && custom != nullptr) {
        ::SetCursor(custom);
    } else {
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    }
}

}  // namespace wl::win32

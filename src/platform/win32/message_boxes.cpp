// Modal message boxes: owned by the form while it is shown, by nobody while
// it lives only in the tray, so that a box never hides behind an invisible
// owner; the handler that asked goes no further when the program ended
// while it was open.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

int Win32Host::Impl::message_box(const std::string& text, const std::string& caption,
                                 unsigned flags) {
    stop_if_ended();
    const HWND owner = form != nullptr && ::IsWindowVisible(form) ? form : nullptr;
    const int result = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    // The end may have come from an event run by the box's own loop (the
    // tray menu's "Exit"), which closed the box with it.
    stop_if_ended();
    return result;
}

}  // namespace wl::win32

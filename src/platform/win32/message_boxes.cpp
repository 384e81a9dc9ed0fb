// Modal message boxes: owned by the form while it is shown, by nobody while
// it lives only in the tray, so that a box never hides behind an invisible
// owner; the handler that asked goes no further when the program ended
// while it was open.
#include <windows.h>

#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

int Win32Host::Impl::message_box(const std::string& text, const std::string& caption,
                                 unsigned flags) {
    loop.stop_if_ended();
    const int result = ::MessageBoxA(window.box_owner(), text.c_str(), caption.c_str(), flags);
    // The end may have come from an event run by the box's own loop (the
    // tray menu's "Exit"), which closed the box with it.
    loop.stop_if_ended();
    // Raised while the program runs: 0 is no button, and the program would
    // take it for one. After the end the box went with the program.
    if (result == 0 && !loop.ended())
        throw_last_error("MessageBoxA", "cannot show the message box " + caption);
    return result;
}

}  // namespace wl::win32

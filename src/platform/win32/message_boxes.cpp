// Modal message boxes: owned by the form while it is shown, by nobody while
// it lives only in the tray, so that a box never hides behind an invisible
// owner.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

int Win32Host::Impl::message_box(const std::string& text, const std::string& caption,
                                 unsigned flags) {
    const HWND owner = form != nullptr && ::IsWindowVisible(form) ? form : nullptr;
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace wl::win32

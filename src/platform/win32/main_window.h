// The form's window and its tool-tip window, as long as they exist: the
// handles the other parts of the host ask for, and the owner modal boxes
// take.
#pragma once

#include <windows.h>

namespace wl::win32 {

class MainWindow {
  public:
    HWND handle() const { return form_; }
    HWND tooltip() const { return tooltip_; }
    bool exists() const { return form_ != nullptr; }
    bool shown() const { return form_ != nullptr && ::IsWindowVisible(form_) != FALSE; }
    // Whether the window is the form or one of its descendants.
    bool holds(HWND window) const {
        return form_ != nullptr && (window == form_ || ::IsChild(form_, window) != FALSE);
    }
    // The owner of a modal box: the form while it is shown, nobody while the
    // program lives only in the tray, so that no box hides behind an
    // invisible owner.
    HWND box_owner() const { return shown() ? form_ : nullptr; }

    void created(HWND form, HWND tooltip) {
        form_ = form;
        tooltip_ = tooltip;
    }
    // WM_NCDESTROY: the form and the tool tip it owned are gone.
    void gone() {
        form_ = nullptr;
        tooltip_ = nullptr;
    }
    void destroy() const {
        if (form_ != nullptr)
            ::DestroyWindow(form_);  // best effort at the end: nothing is left to tell
    }

  private:
    HWND form_ = nullptr;
    HWND tooltip_ = nullptr;
};

}  // namespace wl::win32

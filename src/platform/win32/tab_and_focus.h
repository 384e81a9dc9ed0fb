// Keyboard focus and Tab: Tab and Shift+Tab follow the shared tab rule over
// the controls in creation order, whatever their stacking order; the form
// keeps the focused control while it is inactive, and a control that can no
// longer take the focus hands it back.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/tab_order.h"
#include "platform/win32/control_table.h"
#include "platform/win32/main_window.h"

namespace wl::win32 {

class KeyboardFocus {
  public:
    KeyboardFocus(const ControlTable& controls, const MainWindow& window)
        : controls_(controls), window_(window) {}

    // A Tab or Shift+Tab key press in the form, moved on by the tab rule;
    // false for every other message.
    bool handle_tab(const MSG& msg);
    // The form goes inactive: the control with the focus gets it back later.
    void save();
    // The form got the focus: it passes it on to the control that had it,
    // if that can still take it, else to the first tab stop.
    void restore();
    bool has(HWND control) const;
    // The control with the focus can no longer take it: the form takes it
    // and hands it on.
    void back_to_form();

  private:
    std::vector<TabStop> tab_stops() const;
    int index_of(HWND window) const;

    const ControlTable& controls_;
    const MainWindow& window_;
    HWND saved_ = nullptr;
};

}  // namespace wl::win32

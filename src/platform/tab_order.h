// The tab rule of the main window, for every host: Tab and Shift+Tab move
// the keyboard focus through the controls in creation order, whatever their
// stacking order on the form.
#pragma once

#include <vector>

#include "platform/types.h"

namespace wl {

// One control as the tab rule sees it, in creation order.
struct TabStop {
    ControlKind kind = ControlKind::Label;
    bool visible = false;
    bool enabled = false;
    bool selected = false;  // option button: the chosen one
};

// Whether control i is a tab stop: a kind that takes the focus, visible and
// enabled. The option buttons make one stop together: the chosen one, or
// while none that can take the focus is chosen, the first that can.
bool is_tab_stop(const std::vector<TabStop>& controls, int i);

// Where Tab (Shift+Tab: backwards) moves the focus from control `current`
// (-1 when none of them has it): the next tab stop, wrapping around; -1 when
// there is none. From -1 forwards that is the first tab stop, which is also
// where the focus goes when the window gets it back and no control kept it.
int next_tab_stop(const std::vector<TabStop>& controls, int current, bool backwards);

}  // namespace wl

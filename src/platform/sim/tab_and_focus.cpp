// Keyboard focus and Tab on the simulated desktop, by the shared tab rule:
// the real host's behaviour, including where the focus goes when its control
// is hidden or disabled.
#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_control.h"
#include "platform/tab_order.h"

namespace wl::sim {

void SimFocus::set(const SimControlTable& controls, Hwnd control) {
    focus_ = controls.of_window(control) != nullptr ? control : 0;
}

void SimFocus::leaves(const SimControlTable& controls, Hwnd control) {
    // Like the real host, the form takes the focus back and hands it to its
    // first tab stop.
    if (control != 0 && control == focus_) {
        move(controls, false, 0);
    }
}

void SimFocus::move(const SimControlTable& controls, bool backwards, Hwnd from) {
    std::vector<TabStop> stops;
    std::vector<SimControl*> order;
    int current = -1;
    for (SimControl* control : controls.in_order()) {
        if (control->kind() == ControlKind::Form)
            continue;
        if (from != 0 && control->hwnd() == from)
            current = static_cast<int>(order.size());
        order.push_back(control);
        stops.push_back(
            TabStop{control->kind(), control->is_shown(), control->state().enabled,
                    control->kind() == ControlKind::OptionButton && control->state().value});
    }
    const int next = next_tab_stop(stops, current, backwards);
    focus_ = next >= 0 ? order[static_cast<std::size_t>(next)]->hwnd() : 0;
}

void SimDesktop::set_focus(Hwnd control) {
    focus_.set(impl_->controls, control);
}

void SimDesktop::press_tab(bool backwards) {
    focus_.move(impl_->controls, backwards, focus_.current());
}

void SimDesktop::focus_leaves(Hwnd control) {
    focus_.leaves(impl_->controls, control);
}

void SimDesktop::move_focus(bool backwards, Hwnd from) {
    focus_.move(impl_->controls, backwards, from);
}

}  // namespace wl::sim

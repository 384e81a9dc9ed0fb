#include "platform/tab_order.h"

#include "platform/control_kinds.h"

namespace wl {

namespace {

bool reachable(const TabStop& control) {
    return takes_focus(control.kind) && control.visible && control.enabled;
}

}  // namespace

bool is_tab_stop(const std::vector<TabStop>& controls, int i) {
    const TabStop& control = controls[static_cast<std::size_t>(i)];
    if (!reachable(control))
        return false;
    if (control.kind != ControlKind::OptionButton || control.selected)
        return true;
    int first_reachable = -1;
    for (int k = 0; k < static_cast<int>(controls.size()); ++k) {
        const TabStop& other = controls[static_cast<std::size_t>(k)];
        if (other.kind != ControlKind::OptionButton || !reachable(other))
            continue;
        if (other.selected)
            return false;
        if (first_reachable < 0)
            first_reachable = k;
    }
    return first_reachable == i;
}

int next_tab_stop(const std::vector<TabStop>& controls, int current, bool backwards) {
    const int count = static_cast<int>(controls.size());
    for (int step = 1; step <= count; ++step) {
        int i = 0;
        if (current < 0) {
            i = backwards ? count - step : step - 1;
        } else {
            i = ((current + (backwards ? -step : step)) % count + count) % count;
        }
        if (is_tab_stop(controls, i))
            return i;
    }
    return -1;
}

}  // namespace wl

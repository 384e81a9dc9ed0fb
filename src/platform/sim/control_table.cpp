// The simulated host's table of controls.
#include <algorithm>

#include "platform/sim/sim_control.h"
#include "platform/sim/sim_control_table.h"

namespace wl::sim {

void SimControlTable::leave(SimControl* control) {
    alive_.erase(std::remove(alive_.begin(), alive_.end(), control), alive_.end());
}

SimControl* SimControlTable::find(const std::string& name, int index) const {
    for (SimControl* control : alive_) {
        if (control->design().name == name && control->design().index == index)
            return control;
    }
    return nullptr;
}

SimControl* SimControlTable::of_window(Hwnd window) const {
    if (window == 0)
        return nullptr;
    for (SimControl* control : alive_) {
        if (control->hwnd() == window)
            return control;
    }
    return nullptr;
}

void SimControlTable::designed(const ControlSpec& design, const std::string& display_name) {
    designs_[{design.name, design.index}] = design;
    if (design.kind != ControlKind::Form)
        creation_order_.push_back(display_name);
}

const ControlSpec* SimControlTable::design(const std::string& name, int index) const {
    const auto found = designs_.find({name, index});
    return found == designs_.end() ? nullptr : &found->second;
}

}  // namespace wl::sim

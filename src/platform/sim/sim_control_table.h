// The simulated host's controls: those alive in creation order (the form's
// body first), and the design of every control made, by name and index.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace wl::sim {

class SimControl;

class SimControlTable {
  public:
    void join(SimControl* control) { alive_.push_back(control); }
    void leave(SimControl* control);
    const std::vector<SimControl*>& in_order() const { return alive_; }
    SimControl* find(const std::string& name, int index) const;
    SimControl* of_window(Hwnd window) const;

    // A control made from this design (the form's own under index -1).
    void designed(const ControlSpec& design, const std::string& display_name);
    const ControlSpec* design(const std::string& name, int index) const;
    const std::vector<std::string>& creation_order() const { return creation_order_; }

  private:
    std::vector<SimControl*> alive_;
    std::vector<std::string> creation_order_;
    std::map<std::pair<std::string, int>, ControlSpec> designs_;
};

}  // namespace wl::sim

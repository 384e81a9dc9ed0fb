// The keyboard focus on the simulated desktop: which control has it, moved
// by the shared tab rule.
#pragma once

#include "platform/sim/sim_control_table.h"
#include "platform/types.h"

namespace wl::sim {

class SimFocus {
  public:
    Hwnd current() const { return focus_; }
    // Only a control's window takes it; anything else drops it.
    void set(const SimControlTable& controls, Hwnd control);
    // To the next tab stop after `from` (0: the first one).
    void move(const SimControlTable& controls, bool backwards, Hwnd from);
    // A control that can no longer keep the focus lets it go.
    void leaves(const SimControlTable& controls, Hwnd control);

  private:
    Hwnd focus_ = 0;
};

}  // namespace wl::sim

// The form's timers: each a SetTimer on the form while it runs. Which of
// them run is known here alone.
#pragma once

#include <set>

#include "platform/win32/control_record.h"
#include "platform/win32/main_window.h"

namespace wl::win32 {

class Timers {
  public:
    explicit Timers(const MainWindow& window) : window_(window) {}

    // Starts the timer's ticks on the form, unless it runs already or has no
    // interval. Raises Win32Error when the system refuses the timer: the
    // program must not show monitoring on while nothing ticks.
    void start(const ControlRecord& timer);
    void stop(const ControlRecord& timer);
    void stop_all();
    // A WM_TIMER already queued when the timer was stopped is not a tick.
    bool running(int id) const { return running_.count(id) != 0; }

  private:
    const MainWindow& window_;
    std::set<int> running_;
};

}  // namespace wl::win32

// The tray icon as the program keeps it: wanted from the load until the
// end, and whether the shell holds it. The shell may refuse an add (at
// sign-in it may not be ready yet, or it is busy); the icon is then added
// again on a short timer until the shell takes it. A restarted taskbar has
// lost every icon and gets this one again.
#pragma once

#include "platform/platform.h"

namespace wl {

// How often a refused icon is offered again.
inline constexpr int kTrayRetryMs = 1000;

class TrayIcon {
  public:
    // `retry_timer` is a timer of kTrayRetryMs whose ticks call retry().
    TrayIcon(Shell& shell, const Control& Picture1, Control& retry_timer);

    void add();
    void remove();
    void retry();
    void taskbar_restarted();
    bool present() const { return present_; }

  private:
    void offer();
    void keep_retrying(bool on);

    Shell& shell_;
    const Control& picture_;
    Control& retry_timer_;
    bool wanted_ = false;
    bool present_ = false;
};

}  // namespace wl

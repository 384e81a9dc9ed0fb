#include "monitor/monitor_switch.h"

namespace wl {

namespace {

enum class SwitchedFrom { Button, TrayItem };

// Sets every control to monitoring on or off. The two handlers have always
// set them in orders of their own, and each keeps its order: the button
// restyles itself first, then starts or stops the timer and marks the tray
// item last; the tray item has marked itself already and starts or stops the
// timer before it restyles the button.
void set_monitoring(const SwitchControls& c, bool on, SwitchedFrom from) {
    if (from == SwitchedFrom::TrayItem) {
        c.Monitor_timer.set_enabled(on);
    }
    c.Command2.set_text(on ? kDisableCaption : kEnableCaption);
    c.Command2.set_back_colour(on ? kOnColour : kOffColour);
    c.Command1.set_enabled(!on);
    c.Command3.set_enabled(!on);
    if (from == SwitchedFrom::Button) {
        c.Monitor_timer.set_enabled(on);
        c.swenable.set_value(!on);
    }
}

}  // namespace

bool monitoring_on(const Control& Command2) {
    return Command2.text() != kEnableCaption;
}

void Command2_Click(const SwitchControls& c) {
    set_monitoring(c, !monitoring_on(c.Command2), SwitchedFrom::Button);
}

void swenable_Click(const SwitchControls& c) {
    // The check mark flips first, and the switch follows what it reads back.
    c.swenable.set_value(!c.swenable.value());
    set_monitoring(c, !c.swenable.value(), SwitchedFrom::TrayItem);
}

}  // namespace wl

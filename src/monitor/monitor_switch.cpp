#include "monitor/monitor_switch.h"

namespace wl {

void Command2_Click(const SwitchControls& c) {
    if (c.Command2.text() == kEnableCaption) {
        c.Command2.set_text(kDisableCaption);
        c.Command2.set_back_colour(kOnColour);
        c.Command1.set_enabled(false);
        c.Command3.set_enabled(false);
        c.Monitor_timer.set_enabled(true);
        c.swenable.set_value(false);
    } else {
        c.Command2.set_text(kEnableCaption);
        c.Command2.set_back_colour(kOffColour);
        c.Command1.set_enabled(true);
        c.Command3.set_enabled(true);
        c.Monitor_timer.set_enabled(false);
        c.swenable.set_value(true);
    }
}

void swenable_Click(const SwitchControls& c) {
    c.swenable.set_value(!c.swenable.value());
    if (c.swenable.value()) {
        c.Monitor_timer.set_enabled(false);
        c.Command2.set_text(kEnableCaption);
        c.Command2.set_back_colour(kOffColour);
        c.Command1.set_enabled(true);
        c.Command3.set_enabled(true);
    } else {
        c.Monitor_timer.set_enabled(true);
        c.Command2.set_text(kDisableCaption);
        c.Command2.set_back_colour(kOnColour);
        c.Command1.set_enabled(false);
        c.Command3.set_enabled(false);
    }
}

}  // namespace wl

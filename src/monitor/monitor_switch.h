// The monitoring switch. The state lives in the controls themselves: the
// button reads it back from its caption, the tray item from its check mark,
// and each handler sets every property, so the two always agree.
#pragma once

#include "platform/control.h"

namespace wl {

struct SwitchControls {
    Control& Command2;       // the switch button
    Control& Command1;       // "Edit ini"
    Control& Command3;       // "Add"
    Control& Monitor_timer;  // drives the watcher
    Control& swenable;       // tray item "Disable", checked while monitoring is off
};

inline constexpr const char* kEnableCaption = "Enable monitoring";
inline constexpr const char* kDisableCaption = "Disable monitoring";
inline constexpr Colour kOffColour = 8454016;  // light green
inline constexpr Colour kOnColour = 8421631;   // light red

// Whether monitoring is on, as the switch button shows it: any caption
// other than the "enable" one means on.
bool monitoring_on(const Control& Command2);

void Command2_Click(const SwitchControls& c);
void swenable_Click(const SwitchControls& c);

}  // namespace wl

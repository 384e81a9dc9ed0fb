// The program's entry into its logic: creates the main window on the given
// platform and runs its message loop until the program ends.
#pragma once

#include "platform/platform.h"

namespace wl {

int run_program(Platform& platform);

}  // namespace wl

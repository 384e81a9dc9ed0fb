// The program's entry into its logic: reads its switches, makes sure one
// instance runs per program folder, creates the main window on the given
// platform and runs its message loop until the program ends.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace wl {

// How long "/exit" waits for the running instance to end.
inline constexpr int kExitWaitMs = 10000;

// `arguments`: the command line without the program's own name.
int run_program(Platform& platform, std::string_view arguments = {});

}  // namespace wl

// The simulated platform for the unit tests: the desktop (window system and
// host), the shell and the files, sharing one call log, and a world that
// holds them all.
#pragma once

#include "platform/sim/call_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_world.h"

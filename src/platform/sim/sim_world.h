// One simulated world, ready for a test.
#pragma once

#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/sim/call_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_shell.h"

namespace wl::sim {

struct SimWorld {
    explicit SimWorld(std::string program_folder)
        : desktop(log), shell(log), files(log, std::move(program_folder)) {}
    CallLog log;
    SimDesktop desktop;
    SimShell shell;
    SimFiles files;
    Platform platform() { return Platform{desktop, shell, files, desktop}; }
};

}  // namespace wl::sim

// Everything the logic may reach of the outside world, handed to it in one
// piece: the window system, the shell, files, and the host of the user
// interface. Two implementations exist: platform/win32 (the real one) and
// platform/sim (a simulated desktop for the unit tests).
#pragma once

#include "platform/control.h"
#include "platform/event_sink.h"
#include "platform/file_system.h"
#include "platform/form_window.h"
#include "platform/host.h"
#include "platform/shell.h"
#include "platform/types.h"
#include "platform/window_system.h"

namespace wl {

struct Platform {
    WindowSystem& windows;
    Shell& shell;
    FileSystem& files;
    Host& host;
};

}  // namespace wl

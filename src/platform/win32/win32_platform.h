// The real platform: the window system, the shell, files and the host of
// the user interface on Win32.
#pragma once

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_window_system.h"

// The whole text of a window of this process.
#pragma once

#include <windows.h>

#include <string>

namespace wl::win32 {

// GetWindowTextLengthA, then GetWindowTextA with room for all of it.
std::string window_text(HWND window);

}  // namespace wl::win32

// What the shell tells the host about the tray icon: "TaskbarCreated",
// broadcast when the taskbar starts (again) and every icon is to be added
// anew. The icon's own notifications come to Picture1 as mouse moves.
#pragma once

#include <windows.h>

namespace wl::win32 {

class TrayMessages {
  public:
    // Handled, not raised, when the registration fails: the icon is then
    // not put back after a restart of the taskbar, while everything else
    // works.
    TrayMessages() : taskbar_created_(::RegisterWindowMessageA("TaskbarCreated")) {}
    bool taskbar_created(UINT message) const {
        return taskbar_created_ != 0 && message == taskbar_created_;
    }

  private:
    UINT taskbar_created_;
};

}  // namespace wl::win32

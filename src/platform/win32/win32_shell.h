// The shell on shell32: the tray icon and ShellExecuteA.
//
// This header stays free of <windows.h>, so the program's start can include
// it without the Win32 types.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/shell.h"

namespace wl::win32 {

class Win32Shell final : public Shell {
  public:
    std::uint32_t tray_record_size() const override;
    bool notify_icon(std::uint32_t action, const TrayRecord& record) override;
    std::intptr_t shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::string& directory, int show) override;
};

}  // namespace wl::win32

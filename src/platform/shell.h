// The shell: the notification-area icon and opening documents or pages.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"

namespace wl {

// The tray icon record, field by field as the shell receives it. The win32
// implementation copies it into NOTIFYICONDATAA (version-1 layout).
struct TrayRecord {
    std::uint32_t size = 0;  // cbSize: Shell::tray_record_size()
    Hwnd window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callback_message = 0;
    std::uint64_t icon = 0;
    std::array<char, 64> tip{};
};

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;  // succeeds only while the shell holds the icon
constexpr std::uint32_t kNimDelete = 2;

class Shell {
  public:
    Shell() = default;
    virtual ~Shell() = default;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;
    // sizeof the ANSI version-1 NOTIFYICONDATA of the platform built for
    // (88 on 32-bit Windows, 104 on 64-bit).
    virtual std::uint32_t tray_record_size() const = 0;
    virtual bool notify_icon(std::uint32_t action, const TrayRecord& record) = 0;
    // ShellExecuteA; a null verb / parameters is std::nullopt. Returns the
    // shell's value (greater than 32 on success).
    virtual std::intptr_t shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                        const std::string& file,
                                        const std::optional<std::string>& parameters,
                                        const std::string& directory, int show) = 0;
};

}  // namespace wl

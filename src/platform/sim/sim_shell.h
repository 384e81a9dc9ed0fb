// The simulated shell: the tray icon's records and the documents opened, all
// kept for the tests to read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/sim/call_log.h"

namespace wl::sim {

struct ShellExecuteCall {
    Hwnd owner = 0;
    std::optional<std::string> verb;
    std::string file;
    std::optional<std::string> parameters;
    std::string directory;
    int show = 0;
};

struct NotifyIconCall {
    std::uint32_t action = 0;
    TrayRecord record;
};

class SimShell final : public Shell {
  public:
    explicit SimShell(CallLog& log) : log_(log) {}
    std::uint32_t tray_record_size() const override { return 88; }
    bool notify_icon(std::uint32_t action, const TrayRecord& record) override;
    std::intptr_t shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::string& directory, int show) override;

    const std::vector<NotifyIconCall>& notify_calls() const { return notify_calls_; }
    const std::vector<ShellExecuteCall>& executed() const { return executed_; }
    bool icon_present() const { return icon_present_; }
    void fail_notify_icon(bool fail) { fail_notify_ = fail; }
    // The shell is not ready for the next `count` adds (at sign-in, say):
    // each is refused.
    void refuse_adds(int count) { adds_refused_ = count; }
    // The taskbar starts again, without the icons it showed.
    void restart_taskbar() { icon_present_ = false; }

  private:
    CallLog& log_;
    std::vector<NotifyIconCall> notify_calls_;
    std::vector<ShellExecuteCall> executed_;
    bool icon_present_ = false;
    bool fail_notify_ = false;
    int adds_refused_ = 0;
};

}  // namespace wl::sim

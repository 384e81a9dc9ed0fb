// The simulated shell: the tray icon's records and the documents opened, all
// recorded for the tests.
#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_shell.h"

namespace wl::sim {
namespace {

std::string or_null(const std::optional<std::string>& text) {
    return text ? *text : "NULL";
}

}  // namespace

bool SimShell::notify_icon(std::uint32_t action, const TrayRecord& record) {
    log_.record("Shell_NotifyIconA(" + std::to_string(action) + ")");
    notify_calls_.push_back(NotifyIconCall{action, record});
    if (fail_notify_) {
        return false;
    }
    // Like the shell: an icon is added once and removed once.
    if (action == kNimAdd) {
        if (adds_refused_ > 0) {
            --adds_refused_;
            return false;
        }
        if (icon_present_) {
            return false;
        }
        icon_present_ = true;
        return true;
    }
    if (action == kNimDelete) {
        if (!icon_present_) {
            return false;
        }
        icon_present_ = false;
        return true;
    }
    return icon_present_;
}

std::intptr_t SimShell::shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                      const std::string& file,
                                      const std::optional<std::string>& parameters,
                                      const std::string& directory, int show) {
    log_.record("ShellExecuteA(" + hex(owner) + "," + or_null(verb) + "," + file + "," +
                or_null(parameters) + "," + directory + "," + std::to_string(show) + ")");
    executed_.push_back(ShellExecuteCall{owner, verb, file, parameters, directory, show});
    return 42;
}

}  // namespace wl::sim

// The call log the simulated services share, in the format tests read.
#include <cstdio>

#include "platform/sim/call_log.h"
#include "platform/sim/desktop_state.h"

namespace wl::sim {

std::string hex(std::uint64_t value) {
    if (value == 0) {
        return "0";
    }
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
    return buffer;
}

void CallLog::record(std::string call) {
    calls_.push_back(std::move(call));
    if (on_call && !in_hook_) {
        in_hook_ = true;
        try {
            on_call(calls_.back());
        } catch (...) {
            in_hook_ = false;
            throw;
        }
        in_hook_ = false;
    }
}

std::vector<std::string> CallLog::calls_starting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& call : calls_) {
        if (call.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

}  // namespace wl::sim

#include "platform/handler_guard.h"

#include <exception>

#include "platform/host.h"
#include "platform/run_time_errors.h"

namespace wl {

namespace {

void tell(const std::function<void(const std::string&)>& show, const std::string& text) {
    try {
        show(text);
    } catch (...) {
        // The box itself failed: nothing more can be told.
    }
}

}  // namespace

bool run_guarded(const std::function<void()>& work,
                 const std::function<void(const std::string&)>& show) {
    try {
        work();
        return true;
    } catch (const ProgramEnded&) {
        throw;
    } catch (const std::exception& e) {
        tell(show, run_time_error_message(e));
    } catch (...) {
        tell(show, "Run-time error:\r\n\r\nUnknown error");
    }
    return false;
}

}  // namespace wl

// The form's timers; their ticks become Timer events.
#include "platform/win32/timers.h"

#include <windows.h>

#include "platform/control_kinds.h"
#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

void Timers::start(const ControlRecord& timer) {
    if (running(timer.id) || !window_.exists() || timer.design.interval_ms <= 0)
        return;
    if (::SetTimer(window_.handle(), static_cast<UINT_PTR>(timer.id),
                   static_cast<UINT>(timer.design.interval_ms), nullptr) == 0) {
        throw_last_error("SetTimer",
                         "cannot start the timer " +
                             control_display_name(timer.design.name, timer.design.index));
    }
    running_.insert(timer.id);
}

void Timers::stop(const ControlRecord& timer) {
    if (running_.erase(timer.id) == 0)
        return;
    // Handled: a tick that still comes is no longer running(), so ignored.
    if (window_.exists())
        ::KillTimer(window_.handle(), static_cast<UINT_PTR>(timer.id));
}

void Timers::stop_all() {
    if (window_.exists()) {
        for (const int id : running_)
            ::KillTimer(window_.handle(), static_cast<UINT_PTR>(id));
    }
    running_.clear();
}

void Win32Host::Impl::start_timer(ControlRecord& timer) {
    if (!loop.ended())
        timers.start(timer);
}

void Win32Host::Impl::on_timer(WPARAM id) {
    ControlRecord* timer = controls.with_id(static_cast<int>(id));
    if (timer != nullptr && timers.running(timer->id))
        events.deliver(*timer, EventKind::Timer);
}

}  // namespace wl::win32

// The form's timers: each a SetTimer on the form while it is enabled; its
// ticks become Timer events.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

void Win32Host::Impl::start_timer(ControlRecord& timer) {
    if (timer.timer_running || form == nullptr || ended || timer.design.interval_ms <= 0)
        return;
    if (::SetTimer(form, static_cast<UINT_PTR>(timer.id),
                   static_cast<UINT>(timer.design.interval_ms), nullptr) != 0) {
        timer.timer_running = true;
    }
}

void Win32Host::Impl::stop_timer(ControlRecord& timer) {
    if (!timer.timer_running)
        return;
    timer.timer_running = false;
    if (form != nullptr)
        ::KillTimer(form, static_cast<UINT_PTR>(timer.id));
}

void Win32Host::Impl::stop_timers() {
    for (auto& record : records)
        stop_timer(*record);
}

void Win32Host::Impl::on_timer(WPARAM id) {
    const auto found = by_id.find(static_cast<int>(id));
    // A WM_TIMER already queued when the timer was stopped is not a tick.
    if (found != by_id.end() && found->second->timer_running)
        deliver(*found->second, EventKind::Timer);
}

}  // namespace wl::win32

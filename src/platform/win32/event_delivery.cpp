// Delivering events to the program: each handler runs guarded (run_guarded).
#include "platform/win32/event_delivery.h"

#include <windows.h>

#include "platform/handler_guard.h"
#include "platform/host.h"
#include "platform/program_name.h"

namespace wl::win32 {

bool EventDelivery::guarded(const std::function<void()>& f) {
    try {
        return run_guarded(f, [this](const std::string& text) { report_error(text); });
    } catch (const ProgramEnded&) {
        // A handler paused in do_events when the program ended: it goes no
        // further, and there is nothing to report.
        return true;
    }
}

void EventDelivery::report_error(const std::string& text) {
    // One box at a time: a failing timer handler must not pile up boxes.
    if (reporting_)
        return;
    reporting_ = true;
    // Handled: a box that cannot be shown leaves nobody else to tell.
    ::MessageBoxA(window_.box_owner(), text.c_str(), kProgramName, MB_OK | MB_ICONSTOP);
    reporting_ = false;
}

void EventDelivery::deliver(const UiEvent& event) {
    if (loop_.ended() || sink_ == nullptr)
        return;
    const Nesting running = loop_.handler_running();
    guarded([&] { sink_->on_event(event); });
}

void EventDelivery::deliver(const ControlRecord& record, EventKind kind) {
    UiEvent event;
    event.control = record.design.name;
    event.index = record.design.index;
    event.kind = kind;
    deliver(event);
}

bool EventDelivery::query_unload(int reason) {
    if (loop_.ended() || sink_ == nullptr)
        return false;
    bool refused = false;
    // A handler that fails keeps the window: closing is never a side effect
    // of an error.
    if (!guarded([&] { refused = sink_->on_query_unload(reason); }))
        refused = true;
    return refused;
}

}  // namespace wl::win32

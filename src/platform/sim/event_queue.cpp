// Events and virtual time: the queue handlers post to, its delivery to the
// program's sink, yields inside handlers, timers ticking as time advances,
// and close requests.
#include <algorithm>
#include <stdexcept>

#include "platform/nesting.h"
#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_control.h"

namespace wl::sim {

void SimDesktop::deliver(const UiEvent& event) {
    if (events_.ended() || impl_->sink == nullptr) {
        return;
    }
    const Nesting running = events_.handler_running();
    try {
        if (event.kind == EventKind::Click) {
            // A click on an option button chooses it before its handler runs.
            SimControl* control = find_control(event.control, event.index);
            if (control != nullptr && control->kind() == ControlKind::OptionButton) {
                control->set_value(true);
            }
        }
        impl_->sink->on_event(event);
    } catch (const ProgramEnded&) {
        // The handler was paused when the program ended: it stops here.
    }
}

void SimDesktop::post(const UiEvent& event) {
    events_.post(event);
}

void SimDesktop::fire(const UiEvent& event) {
    deliver(event);
}

void SimDesktop::post_click(Hwnd control) {
    if (SimControl* c = control_of_window(control)) {
        post(UiEvent{c->design().name, c->design().index, EventKind::Click});
    }
}

bool SimDesktop::request_close(int reason) {
    if (events_.ended() || impl_->sink == nullptr) {
        return false;
    }
    const bool refused = impl_->sink->on_query_unload(reason);
    // The end of the session only asks: what follows is EndSession, not an unload.
    if (!refused && reason != unload_reason::kAppWindows) {
        const std::string form = impl_->form_name;
        deliver(UiEvent{form, -1, EventKind::Unload});
        deliver(UiEvent{form, -1, EventKind::Terminate});
        end_program();
    }
    return refused;
}

bool SimDesktop::end_session() {
    const bool refused = request_close(unload_reason::kAppWindows);
    if (!refused && !events_.ended() && impl_->sink != nullptr) {
        deliver(UiEvent{impl_->form_name, -1, EventKind::EndSession});
    }
    return refused;
}

void SimDesktop::run_queue() {
    // Handlers may post more events (a click that queues a tick that queues
    // ...); each runs once, but a handler that feeds itself forever is a
    // fault of the program under test, not a reason to hang the test.
    constexpr std::size_t kLimit = 100000;
    std::size_t ran = 0;
    while (events_.has_waiting()) {
        if (++ran > kLimit) {
            throw std::runtime_error("simulated desktop: events keep posting events");
        }
        const UiEvent event = events_.take();
        // A form hidden again before its Activate ran is not activated.
        if (event.kind == EventKind::Activate &&
            (impl_->form == nullptr || !impl_->form->visible())) {
            continue;
        }
        deliver(event);
    }
}

void SimDesktop::post_timer_ticks() {
    const std::vector<SimControl*> controls =
        impl_->controls.in_order();  // handlers may add or drop some
    for (SimControl* control : controls) {
        if (control->timer_due(now_)) {
            post(UiEvent{control->design().name, control->design().index, EventKind::Timer});
        }
    }
}

void SimDesktop::advance(std::int64_t ms) {
    const std::int64_t target = now_ + std::max<std::int64_t>(ms, 0);
    run_queue();
    while (!events_.ended()) {
        std::optional<std::int64_t> next;
        for (const SimControl* control : impl_->controls.in_order()) {
            if (const auto due = control->timer_next_due()) {
                next = next ? std::min(*next, *due) : *due;
            }
        }
        if (!next || *next > target) {
            break;
        }
        now_ = std::max(now_, *next);
        post_timer_ticks();
        run_queue();
    }
    now_ = target;
}

void SimDesktop::stop_if_ended() const {
    // Outside every handler (the tests themselves running the empty queue)
    // there is nothing to stop.
    if (events_.stopped_in_handler()) {
        throw ProgramEnded{};
    }
}

void SimDesktop::do_events() {
    record("DoEvents");
    stop_if_ended();
    if (!events_.may_yield()) {
        return;  // the events wait for a level below
    }
    const Nesting yielding = events_.yielding();
    run_queue();
    stop_if_ended();
}

}  // namespace wl::sim

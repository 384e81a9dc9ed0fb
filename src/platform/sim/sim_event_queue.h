// The simulated message loop's own state: the events waiting, the end, and
// how deep handlers and yields run inside one another.
#pragma once

#include <cstddef>
#include <deque>

#include "platform/host.h"
#include "platform/nesting.h"

namespace wl::sim {

class SimEventQueue {
  public:
    // Nothing is queued after the end.
    void post(const UiEvent& event) {
        if (!ended_)
            queue_.push_back(event);
    }
    bool has_waiting() const { return !ended_ && !queue_.empty(); }
    UiEvent take() {
        UiEvent event = queue_.front();
        queue_.pop_front();
        return event;
    }
    std::size_t size() const { return queue_.size(); }

    bool ended() const { return ended_; }
    void end() {
        ended_ = true;
        queue_.clear();
    }
    // After the end a handler that yields goes no further.
    bool stopped_in_handler() const { return ended_ && handlers_running_ > 0; }

    [[nodiscard]] Nesting handler_running() { return Nesting(handlers_running_); }
    bool may_yield() const { return yield_depth_ < kMaxYieldDepth; }
    [[nodiscard]] Nesting yielding() { return Nesting(yield_depth_); }

  private:
    std::deque<UiEvent> queue_;
    bool ended_ = false;
    int handlers_running_ = 0;  // deliveries to the sink in progress
    int yield_depth_ = 0;       // do_events calls running inside one another
};

}  // namespace wl::sim

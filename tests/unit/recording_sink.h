// The program's side of the simulated host for tests that run without
// Form1: every event is recorded and handed to what the test wants done
// for it; close requests are refused unless the test says otherwise.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/event_sink.h"

namespace wl::testing {

class RecordingSink final : public EventSink {
  public:
    std::function<void(const UiEvent&)> handler;
    std::vector<std::string> seen;  // "name:kind" with the kind as a number, "cmd1(0):0"
    bool refuse = true;

    void on_event(const UiEvent& event) override {
        seen.push_back(event.control +
                       (event.index >= 0 ? "(" + std::to_string(event.index) + ")" : "") + ":" +
                       std::to_string(static_cast<int>(event.kind)));
        if (handler) {
            handler(event);
        }
    }
    bool on_query_unload(int) override { return refuse; }
};

}  // namespace wl::testing

// Where the host delivers the events of the main window and its controls.
#pragma once

#include "platform/types.h"

namespace wl {

// The program's side of the host. The host calls it on the one thread, one
// event at a time (handlers yield to run others inside them); an error that
// escapes on_event is shown to the user and the program goes on.
class EventSink {
  public:
    EventSink() = default;
    virtual ~EventSink() = default;
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;
    virtual void on_event(const UiEvent& event) = 0;
    // Returns true to refuse the close request.
    virtual bool on_query_unload(int reason) = 0;
};

}  // namespace wl

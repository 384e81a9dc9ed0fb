// Delivering events to the program's sink: each handler runs guarded, so
// that an error that escapes it is shown instead of unwinding into the
// system, and a handler ended by the end of the program stops quietly.
#pragma once

#include <functional>
#include <string>

#include "platform/event_sink.h"
#include "platform/win32/control_record.h"
#include "platform/win32/main_window.h"
#include "platform/win32/message_loop.h"

namespace wl::win32 {

class EventDelivery {
  public:
    EventDelivery(MessageLoop& loop, const MainWindow& window) : loop_(loop), window_(window) {}

    void attach(EventSink& sink) { sink_ = &sink; }
    // The logic let go of the form: no event reaches it any more.
    void detach() { sink_ = nullptr; }

    // Runs f, showing any exception in a message box instead of letting it
    // unwind into user32; false when f threw.
    bool guarded(const std::function<void()>& f);
    // Nothing after the end or without a sink.
    void deliver(const UiEvent& event);
    void deliver(const ControlRecord& record, EventKind kind);
    // Whether the program refuses the close request; a handler that fails
    // refuses it too.
    bool query_unload(int reason);

  private:
    void report_error(const std::string& text);

    MessageLoop& loop_;
    const MainWindow& window_;
    EventSink* sink_ = nullptr;
    bool reporting_ = false;  // an error box is open
};

}  // namespace wl::win32

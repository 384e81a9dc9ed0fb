// The message loop: the program's own loop until the end, the yields of
// handlers inside it (nested at most kMaxYieldDepth deep), and the end that
// stops them. It knows how deep yields and handlers run; what a message does
// is the dispatcher's.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/nesting.h"

namespace wl::win32 {

class MessageLoop {
  public:
    using Dispatch = std::function<void(MSG&)>;

    bool ended() const { return ended_; }
    // The end: the loop stops, no handler goes on. False when it had ended
    // already.
    bool end();
    // WM_QUIT for the loop, so that GetMessageA wakes up to see the end.
    static void quit() { ::PostQuitMessage(0); }

    // A handler that waits in the host (a yield, a modal box, a pop-up
    // menu) goes no further once the program has ended: throws ProgramEnded.
    // Outside every handler there is nothing to stop.
    void stop_if_ended() const;

    // For the length of a delivery to the program.
    [[nodiscard]] Nesting handler_running() { return Nesting(handlers_running_); }

    // Runs every message waiting; after the end, inside a handler, throws
    // ProgramEnded.
    void do_events(const Dispatch& dispatch);
    // Until the end.
    void run(const Dispatch& dispatch);

  private:
    bool ended_ = false;
    int yield_depth_ = 0;       // do_events calls running inside one another
    int handlers_running_ = 0;  // deliveries to the program in progress
};

}  // namespace wl::win32

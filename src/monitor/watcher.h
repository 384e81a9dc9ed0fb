// The dialog watcher: at every tick, answers each open message box of the
// watch list by clicking its stored button.
#pragma once

#include <cstdint>

#include "monitor/watch_list.h"
#include "platform/host.h"
#include "platform/window_system.h"

namespace wl {

class Watcher {
  public:
    Watcher(WindowSystem& windows, Host& host, const WatchList& list)
        : windows_(windows), host_(host), list_(list) {}

    // One tick of Monitor_timer.
    void Monitor_timer_Timer();

    // The entry being processed. One shared value, not a local of the tick: a
    // tick that runs inside another tick's yield leaves it past the last
    // entry, and the interrupted tick then ends.
    std::int16_t Watch_slot = 0;

  private:
    // An entry with a Text or Program key: the walk of the boxes with its
    // class and title, at most one click.
    void answer_by_keys(const WatchEntry& entry);

    WindowSystem& windows_;
    Host& host_;
    const WatchList& list_;
};

}  // namespace wl

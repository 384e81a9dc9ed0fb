#include "monitor/watcher.h"

namespace wl {

void Watcher::Monitor_timer_Timer() {
    const int last = WatchList::kEntries;
    Watch_slot = 1;
    while (Watch_slot <= last) {
        const WatchEntry& e = list_.entry(Watch_slot);
        const Hwnd box = windows_.find_window(e.Win_class, e.Win_title);
        // The button lookup runs even when no box was found; with parent 0 it
        // searches the top-level windows, and the test below rules that out.
        const Hwnd button = windows_.find_window_ex(box, 0, "Button", e.Win_button);
        // Any nonzero handle is a window; handles carry no sign.
        if (box != 0 && button != 0) {
            windows_.click_button(button);
            host_.do_events();
            host_.do_events();
        }
        Watch_slot = static_cast<std::int16_t>(Watch_slot + 1);
    }
}

}  // namespace wl

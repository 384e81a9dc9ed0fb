#include "monitor/watcher.h"

#include "monitor/box_keys.h"

namespace wl {

namespace {

// A bound on the boxes one entry's walk looks at in a tick, so a window
// system that keeps reordering its windows under the walk cannot keep it
// going; more boxes of one title than this wait for later ticks.
constexpr int kMostBoxesPerWalk = 256;

}  // namespace

void Watcher::Monitor_timer_Timer() {
    const int last = WatchList::kEntries;
    Watch_slot = 1;
    while (Watch_slot <= last) {
        const WatchEntry& e = list_.entry(Watch_slot);
        if (e.has_keys()) {
            answer_by_keys(e);
            Watch_slot = static_cast<std::int16_t>(Watch_slot + 1);
            continue;
        }
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

void Watcher::answer_by_keys(const WatchEntry& e) {
    // Boxes of one title, each after the last in window order: the first
    // that meets the keys and has the button is answered.
    Hwnd after = 0;
    for (int looked_at = 0; looked_at < kMostBoxesPerWalk; ++looked_at) {
        const Hwnd box = windows_.find_window_ex(0, after, e.Win_class, e.Win_title);
        if (box == 0) {
            return;  // no more, or `after` vanished: the next tick looks again
        }
        const Hwnd button = windows_.find_window_ex(box, 0, "Button", e.Win_button);
        if (button != 0 && meets_keys(windows_, box, e)) {
            windows_.click_button(button);
            host_.do_events();
            host_.do_events();
            return;
        }
        after = box;
    }
}

}  // namespace wl

// The walk of a picked window's descendants: lists the titled ones and offers
// the first three push buttons as the button the watcher is to press.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/control.h"
#include "platform/host.h"
#include "platform/window_system.h"

namespace wl::capture {

// Size of the buffers titles and class names are read into; a text read
// with them has at most 254 characters.
constexpr int kWalkTextBufferChars = 255;

// The main window's controls the walk writes to.
struct WalkControls {
    Control& List1;                // "title<TAB>class" of each titled descendant
    std::array<Control*, 3> cmd1;  // captions of the first three push buttons
    std::array<Control*, 3> Op1;   // their option buttons; Op1[0] is selected
};

class TreeWalk {
  public:
    TreeWalk(WindowSystem& windows, Host& host, WalkControls controls)
        : windows_(windows), host_(host), controls_(controls) {}

    // Walks everything below `window` (see FindChildWindows).
    void ListChildWindows(Hwnd& window);
    // Visits every descendant of `start` depth first, each window after its
    // own descendants, siblings from the top of the z-order down, letting
    // pending events run before each window. A start of 0 is replaced by the
    // desktop window, in the caller's variable too.
    void FindChildWindows(Hwnd& start);

    // Push buttons met since the finder tool was last pressed (it resets
    // this). Saturates at 32,767 instead of overflowing: only the first three
    // are ever offered, so the exact count beyond that changes nothing.
    std::int16_t button_count = 0;

  private:
    void visit(Hwnd child);

    WindowSystem& windows_;
    Host& host_;
    WalkControls controls_;
};

}  // namespace wl::capture

// What the window conformance cases need beyond the WindowSystem interface
// itself: windows of another program to find, read, hit and draw on, that
// program hung on demand, windows of the program itself, and the user's
// pointer. One driver builds them on the simulated desktop (unit tests), the
// other makes real windows (window_conformance.exe under Windows or Wine),
// another program's in a helper process of its own.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace wl::conformance {

struct WindowDesign {
    std::string class_name;
    std::string title;
    Rect rect;          // outer rectangle, screen pixels (a child's too)
    Hwnd parent = 0;    // 0: a top-level window
    Hwnd owner = 0;     // top-level windows only
    bool popup = true;  // a top-level pop-up (a dialog); false: an overlapped window
    bool visible = true;
    bool enabled = true;
};

// The program's own top-level window and a child of it that reports the
// pointer moves it receives (the finder's picture box on its form).
struct OwnWindows {
    Hwnd form = 0;
    Hwnd box = 0;
};

class WindowDriver {
  public:
    WindowDriver() = default;
    virtual ~WindowDriver() = default;
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    virtual WindowSystem& windows() = 0;

    // A window of another program, shown unless the design says otherwise;
    // a top-level one comes above the other top-level windows, a child below
    // its earlier siblings (as CreateWindowEx places them).
    virtual Hwnd make(const WindowDesign& design) = 0;
    virtual void destroy(Hwnd window) = 0;
    // The other program stops answering its messages, or answers again.
    virtual void hang(bool hung) = 0;
    // How many clicks a button of the other program has received.
    virtual int clicks(Hwnd button) = 0;
    // The full path of the other program's executable.
    virtual std::string other_program() = 0;

    // The program's own windows, shown and active: `form` outer, `box`
    // inside it, both in screen pixels. Made once per case.
    virtual OwnWindows make_own(const Rect& form, const Rect& box) = 0;
    // The user's pointer moves to a screen point, no button held.
    virtual void move_pointer(Point screen) = 0;
    // Lets what the last moves caused arrive: until `box` has received a
    // move at `awaited` (screen pixels), or a deadline passes. Every move
    // the box received since the last call, in screen pixels.
    virtual std::vector<Point> moves_received(Hwnd box, Point awaited) = 0;
};

}  // namespace wl::conformance

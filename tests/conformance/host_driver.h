// The hands and eyes the host conformance cases need beyond the Host
// interface itself: a user's pointer and keyboard, someone to answer modal
// boxes and pop-up menus, and the message loop between handlers. One driver
// works the simulated desktop (unit tests), the other the real Win32 host in
// the same thread (host_conformance.exe under Windows or Wine).
#pragma once

#include <functional>
#include <string>

#include "platform/control.h"
#include "platform/host.h"

namespace wl::conformance {

class HostDriver {
  public:
    HostDriver() = default;
    virtual ~HostDriver() = default;
    HostDriver(const HostDriver&) = delete;
    HostDriver& operator=(const HostDriver&) = delete;

    virtual Host& host() = 0;

    // The user's pointer over a control: its centre, or for the form a spot
    // of its client area that no control covers. Buttons: 1 left, 2 right.
    virtual void press(const Control& over, int button) = 0;
    virtual void move(const Control& over) = 0;
    virtual void release(const Control& over, int button) = 0;
    // Another program's window takes the pointer capture, then lets it go.
    virtual void take_capture_away() = 0;

    // Tab, or Shift+Tab, pressed in the main window.
    virtual void tab(bool backwards) = 0;
    virtual void focus_on(const Control& control) = 0;
    // The window that has the keyboard focus; 0 when none of the program's.
    virtual Hwnd focus() = 0;

    // A click on a command button, left waiting in the event queue the way a
    // user's click waits while a handler runs.
    virtual void post_click(const Control& button) = 0;
    // The next modal message box is answered with `result` (mb::kResult*).
    virtual void answer_next_box(int result) = 0;
    // The owner window of the box answered last; 0 when it had none.
    virtual Hwnd last_box_owner() = 0;
    // The next pop-up menu: the item at `position` among those it shows
    // (from 0, separators not counted) is chosen; -1 closes it unchosen.
    virtual void choose_in_next_menu(int position) = 0;
    // A request from outside to close the main window (Alt+F4, say).
    virtual void request_close() = 0;
    // The user's session ends: the system asks the main window whether it
    // may, then tells it whether the session ends.
    virtual void end_session() = 0;

    // A command line that names no program that can be started.
    virtual std::string missing_program() = 0;
    // An empty folder of the case's own.
    virtual std::string scratch_folder() = 0;

    // Runs what is waiting, as the message loop does between handlers.
    virtual void pump() = 0;
    // Runs the message loop until `condition` holds or `ms` milliseconds
    // pass (virtual ones on the simulated desktop); whether it held.
    virtual bool run_until(const std::function<bool()>& condition, int ms) = 0;
};

}  // namespace wl::conformance

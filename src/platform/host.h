// The host: the user-interface runtime the main window runs under.
#pragma once

#include <memory>
#include <string>

#include "platform/control.h"
#include "platform/event_sink.h"
#include "platform/form_window.h"
#include "platform/types.h"

namespace wl {

// Thrown by Host::do_events into a handler when the program has ended while
// that handler was paused. Deliberately not a std::exception: handlers that
// report errors must not catch it; the host ends the handler silently.
struct ProgramEnded {};

// How deep do_events calls may run inside one another before a further one
// returns at once, its events left for a level below: handlers yield from
// inside handlers, and a steady stream of events would otherwise nest them
// without end.
inline constexpr int kMaxYieldDepth = 8;

class Host {
  public:
    Host() = default;
    virtual ~Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    virtual std::unique_ptr<FormWindow> create_form(const FormSpec& design, EventSink& sink) = 0;
    // Controls are created in tab order; menu items after their menu.
    virtual std::unique_ptr<Control> create_control(FormWindow& form,
                                                    const ControlSpec& design) = 0;
    // Pops up the menu at the pointer and waits until it closes; the chosen
    // item's Click event is delivered to the sink from there.
    virtual void popup_menu(Control& menu) = 0;

    virtual int message_box(const std::string& text, const std::string& caption,
                            unsigned flags) = 0;
    // Runs every event already waiting, each to completion, then returns.
    // Once the program has ended (end_program, possibly from one of those
    // events) it does not return to the handler that called it: it throws
    // ProgramEnded, which only the host catches, so that no paused handler
    // goes on with its work.
    virtual void do_events() = 0;
    // Starts a program from a command line and returns at once. Throws
    // AppError when it cannot be started.
    virtual void start_program(const std::string& command_line, int show) = 0;
    // Runs the message loop until end_program().
    virtual void run() = 0;
    // Ends the program at once: no further handler runs.
    virtual void end_program() = 0;

    virtual double twips_per_pixel_x() const = 0;
    virtual double twips_per_pixel_y() const = 0;
};

}  // namespace wl

// The host: the user-interface runtime the main window runs under.
#pragma once

#include <memory>
#include <string>

#include "platform/control.h"
#include "platform/event_sink.h"
#include "platform/form_window.h"
#include "platform/types.h"

namespace wl {

// Thrown by Host::do_events, message_box and popup_menu into a handler when
// the program has ended while that handler was paused in them. Deliberately not a std::exception:
// handlers that report errors must not catch it; the host ends the handler silently.
struct ProgramEnded {};

// How deep do_events calls may run inside one another before a further one
// returns at once, its events left for a level below: handlers yield from
// inside handlers, and a steady stream of events would otherwise nest them
// without end.
inline constexpr int kMaxYieldDepth = 8;

// Every host keeps these rules (tests/conformance/host_cases.h checks them on
// the real host and on the simulated one):
// - Events run in the order they came, each to completion, on the one thread.
// - do_events runs every event waiting, then returns.
// - do_events calls nest at most kMaxYieldDepth deep; one more returns at once, running nothing.
// - After end_program no event reaches the sink, and timers stop.
// - After end_program, do_events inside a handler throws ProgramEnded; outside one it does nothing.
// - A handler waiting in message_box or popup_menu when the program ends gets ProgramEnded too.
// - A modal message box is owned by the form while it is shown, by nobody while it is hidden.
// - message_box returns the button pressed; events waiting run while the box is open.
// - popup_menu delivers the chosen item's Click before it returns; dismissed, nothing.
// - A hidden menu item is not in its pop-up menu.
// - Showing the hidden form raises one Activate; hiding it, or showing it again, raises none.
// - A form hidden again before its Activate ran gets none.
// - A close request from outside asks the sink with reason 0; refused, nothing else happens.
// - An allowed close request delivers Unload and Terminate, then the program ends.
// - The end of the session asks with reason 2; allowed, EndSession follows, no Unload or Terminate.
// - start_program raises AppError 53 when the program cannot be started.
// - Tab and Shift+Tab move the focus by the tab rule of tab_order.h.
// - A folder another running instance claimed cannot be claimed until that instance ends.
// - A request asked of the running instance reaches its form as ShowRequested or ExitRequested.
// - A press on a picture box makes it hold the pointer (capture) until its buttons are up.
// - While it holds the pointer, its moves and releases reach it wherever the pointer is.
// - A release reaches a picture box only after a press of that button on it.
// - A capture taken away while a button is down ends the press with LostCapture, no release.
// - A picture box's Click is a left press and release over it.
// - The rule of the last five is PointerPress (pointer_press.h) in every host.
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
    // item's Click event is delivered to the sink from there. Throws
    // ProgramEnded, as do_events does, when that (or anything) ended the
    // program meanwhile.
    virtual void popup_menu(Control& menu) = 0;

    // Shows a modal box and waits for the answer, running the events that
    // come meanwhile; throws ProgramEnded, as do_events does, when one of
    // them ended the program.
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

    // One running instance per program folder (per user session); copies in
    // other folders run side by side.
    // Claims the folder for this program until it ends; false when a running
    // instance holds it.
    virtual bool claim_program_folder(const std::string& folder) = 0;
    // Asks the instance holding the folder to show its window or to end: its
    // form gets ShowRequested or ExitRequested.
    virtual void ask_running_instance(const std::string& folder, InstanceRequest request) = 0;
    // Waits until no instance holds the folder, at most `timeout_ms`;
    // whether it came free.
    virtual bool wait_until_folder_free(const std::string& folder, int timeout_ms) = 0;
};

}  // namespace wl

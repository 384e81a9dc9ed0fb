// The simulated desktop: the window system the logic sees (windows with
// class, title, rectangle, pixels, parent/owner and z-ordered children;
// message boxes whose buttons close them when clicked) and the host of the
// program's own user interface (its form and controls as windows, an event
// queue with virtual time, scripted answers for its message boxes and
// pop-up menus, a user's pointer and keyboard), with failures on demand.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/sim/call_log.h"
#include "platform/sim/sim_event_queue.h"
#include "platform/sim/sim_focus.h"
#include "platform/window_system.h"

namespace wl::sim {

class SimControl;
class SimFormWindow;

// The frame around the form's client area, in pixels.
constexpr int kFrameSide = 3;
constexpr int kFrameTop = 26;  // border and caption bar
constexpr int kFrameBottom = 3;

struct SimWindow {
    Hwnd hwnd = 0;
    std::string class_name;
    std::string title;
    Rect rect;                   // outer rectangle, screen pixels
    Hwnd parent = 0;             // 0 for a top-level window (its parent is the desktop)
    Hwnd owner = 0;              // top-level windows only
    std::vector<Hwnd> children;  // z-order, top first
    bool visible = true;
    bool enabled = true;  // a disabled child is passed over by the hit test
    bool popup = true;    // a top-level pop-up: get_parent gives its owner
    bool hung = false;    // does not answer messages (clicks and WM_GETTEXT time out)
    // Executable of the owning process (top-level windows; children share
    // their top-level window's). Empty: the process cannot be asked.
    std::string program;
    std::vector<Colour> pixels;  // width * height, row-major, origin at outer top-left
    // Message box support: the box this button belongs to (0 for others).
    Hwnd closes_box = 0;
    std::function<void()> on_click;  // run when the window receives BM_CLICK
};

struct ShownMessageBox {
    std::string text;
    std::string caption;
    unsigned flags = 0;
    int result = 0;
    Hwnd owner = 0;  // the form while it is shown, else none
};

struct StartedProgram {
    std::string command_line;
    int show = 0;
};

struct SetWindowPosCall {
    Hwnd window = 0;
    Hwnd insert_after = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned flags = 0;
};

class SimDesktop final : public WindowSystem, public Host {
  public:
    explicit SimDesktop(CallLog& log);
    ~SimDesktop() override;

    // --- Building the desktop --------------------------------------------
    // Adds a window below its existing siblings (so windows added one after
    // another are listed top to bottom). parent 0: a top-level window.
    Hwnd add_window(const std::string& class_name, const std::string& title, Rect rect,
                    Hwnd parent = 0, Hwnd owner = 0);
    // Brings a window to the top of its siblings.
    void bring_to_top(Hwnd window);
    // A standard message box ("#32770") on top of the top-level windows, with
    // a static text and one "Button" child per caption, in that order. A
    // click on a button closes the box and records the caption.
    Hwnd open_message_box(const std::string& title, const std::vector<std::string>& buttons,
                          Hwnd owner = 0, const std::string& text = "");
    // The caption of the button that closed the box; nullopt while it is open.
    std::optional<std::string> message_box_answer(Hwnd box) const;
    void destroy_window(Hwnd window);  // and its descendants
    bool exists(Hwnd window) const;
    SimWindow& window(Hwnd window);            // throws for an unknown handle
    void move_window(Hwnd window, Rect rect);  // pixels kept where they overlap, new ones white
    void set_hung(Hwnd window, bool hung);

    // Pixels, in window coordinates. Out of range: kInvalidColour / ignored.
    Colour pixel(Hwnd window, int x, int y) const;
    void set_pixel_direct(Hwnd window, int x, int y, Colour colour);
    void paint_window(Hwnd window, Colour colour);
    int surfaces_open() const { return surfaces_open_; }
    int surfaces_taken() const { return surfaces_taken_; }
    int fill_calls() const { return fill_calls_; }

    // Pointer.
    void set_cursor(Point screen) { cursor_ = screen; }
    Hwnd capture() const { return capture_; }
    // The user's pointer: a button (1 left, 2 right, 4 middle) pressed,
    // moved and released at screen points. Each goes to the window holding
    // the capture (a move with no button down only over the program's own
    // windows), else to the window under the pointer, and reaches the
    // program as the real host delivers it: picture boxes get MouseDown,
    // MouseMove and MouseUp under the press rules of platform.h; the form's
    // background and the other controls get Click when pressed and released
    // over the same one. Delivered at once, like fire().
    void pointer_down(Point screen, int button = 1);
    void pointer_move(Point screen);
    void pointer_up(Point screen, int button = 1);
    // The keyboard: Tab (Shift+Tab: backwards) in the main window, and the
    // control that has the focus (its window; 0 when none has it).
    void press_tab(bool backwards);
    void set_focus(Hwnd control);
    Hwnd focus() const { return focus_.current(); }
    // A window of another program takes the pointer capture (the user
    // switched away in the middle of a press, say); 0: it lets it go again.
    void take_capture(Hwnd other);

    // --- The program's own user interface --------------------------------
    // create_form makes a hidden top-level "WendlockForm" window titled with
    // the caption: the client area at the design position plus a frame
    // (3 pixels at the sides and bottom, 26 at the top). Showing the form
    // (set_visible false -> true) queues its Activate event, dropped when the
    // form is hidden again before it runs. Controls with a
    // window are child windows of the form ("Button", "Edit", "Static",
    // "ComboBox", "ListBox", "PictureBox", "Shape"), added below their
    // earlier siblings; their text and visibility are those of the window.
    // Timers, menus and menu items have no window (hwnd() 0). A click
    // (click_button) on the program's own button delivers its Click event.
    // The control created under that name (and index), or nullptr.
    Control* control(const std::string& name, int index = -1) const;
    FormWindow* form() const;
    const ControlSpec* design(const std::string& name, int index = -1) const;
    // Tab order: names of the controls in creation order ("cmd1(0)" for arrays).
    std::vector<std::string> creation_order() const;
    // Simulates a user typing into a combo box / text box, choosing an option.
    void type_text(const std::string& name, const std::string& text, int index = -1);

    // Events: delivered to the form's sink.
    void post(const UiEvent& event);  // queued; run by do_events()/advance()
    // A user's click on the control with that window, queued.
    void post_click(Hwnd control);
    void fire(const UiEvent& event);  // delivered now
    // Asks the sink; true when refused. Allowed, Unload and Terminate follow
    // and the program ends, except for the end of the session (reason 2),
    // which only asks, as WM_QUERYENDSESSION does.
    bool request_close(int reason);
    // The user's session ends: asked with reason 2, and allowed, the form
    // gets EndSession (WM_ENDSESSION); true when refused.
    bool end_session();
    std::size_t pending_events() const { return events_.size(); }

    // Virtual time in milliseconds. advance() moves it forward, firing every
    // enabled timer each time its interval has passed, and runs queued events.
    std::int64_t now() const { return now_; }
    void advance(std::int64_t ms);

    // Scripted answers of the program's own message boxes, in order. When the
    // script is empty, a box answers OK (1) for OK boxes and No (7) otherwise.
    void script_message_box(int result) { box_answers_.push_back(result); }
    const std::vector<ShownMessageBox>& message_boxes() const { return boxes_; }
    // Scripted choices of pop-up menus (item names); empty: the menu is
    // dismissed without a choice.
    void script_menu_choice(const std::string& item) { menu_choices_.push_back(item); }
    // The same by place: the item at `position` among those the menu shows
    // (separators not counted); -1 dismisses the menu.
    void script_menu_position(int position) {
        menu_choices_.push_back("#" + std::to_string(position));
    }
    const std::vector<std::string>& popups() const { return popups_; }
    const std::vector<StartedProgram>& started_programs() const { return started_; }
    void fail_start_program(bool fail) { fail_start_ = fail; }
    // Timers refuse to start, as SetTimer does out of resources: enabling one
    // raises an error and leaves it off.
    void fail_timers(bool fail) { fail_timers_ = fail; }
    bool ended() const { return events_.ended(); }
    const std::vector<SetWindowPosCall>& window_pos_calls() const { return pos_calls_; }
    bool topmost(Hwnd window) const { return topmost_.count(window) != 0; }
    void set_twips_per_pixel(double x, double y) {
        tppx_ = x;
        tppy_ = y;
    }
    void set_active_window(std::optional<Hwnd> window) { active_override_ = window; }
    // System menu of a window: item command identifiers, top to bottom
    // (separators are 0). Every window starts with the standard seven.
    std::vector<unsigned> system_menu_items(Hwnd window) const;

    // --- WindowSystem ------------------------------------------------------
    Hwnd find_window(const std::string& class_name, const std::string& title) override;
    Hwnd find_window_ex(Hwnd parent, Hwnd after, const std::string& class_name,
                        const std::string& title) override;
    bool click_button(Hwnd button) override;
    std::optional<std::string> get_text_message(Hwnd window, int buffer_chars) override;
    std::string get_window_text(Hwnd window, int buffer_chars) override;
    std::string get_class_name(Hwnd window, int buffer_chars) override;
    Hwnd get_parent(Hwnd window) override;
    std::string program_path(Hwnd window) override;
    Hwnd get_window(Hwnd window, WindowRelation relation) override;
    Hwnd desktop_window() override;
    Point cursor_pos() override;
    Hwnd window_from_point(Point screen) override;
    void set_capture(Hwnd window) override;
    void release_capture() override;
    bool get_window_rect(Hwnd window, Rect& rect) override;
    std::unique_ptr<DrawSurface> window_surface(Hwnd window) override;
    Hwnd active_window() override;
    MenuHandle get_system_menu(Hwnd window) override;
    bool remove_menu(MenuHandle menu, unsigned item, unsigned flags) override;
    void draw_menu_bar(Hwnd window) override;
    void set_window_pos(Hwnd window, Hwnd insert_after, int x, int y, int cx, int cy,
                        unsigned flags) override;

    // --- Host --------------------------------------------------------------
    std::unique_ptr<FormWindow> create_form(const FormSpec& design, EventSink& sink) override;
    std::unique_ptr<Control> create_control(FormWindow& form, const ControlSpec& design) override;
    void popup_menu(Control& menu) override;
    int message_box(const std::string& text, const std::string& caption, unsigned flags) override;
    void do_events() override;
    void start_program(const std::string& command_line, int show) override;
    void run() override;
    void end_program() override;
    double twips_per_pixel_x() const override { return tppx_; }
    double twips_per_pixel_y() const override { return tppy_; }
    bool claim_program_folder(const std::string& folder) override;
    void ask_running_instance(const std::string& folder, InstanceRequest request) override;
    bool wait_until_folder_free(const std::string& folder, int timeout_ms) override;

  private:
    // Implementation state; see sim_desktop.cpp and sim_host.cpp.
    friend class SimControl;
    friend class SimFormWindow;
    friend class SimSurface;
    struct Impl;
    void record(std::string call);
    void deliver(const UiEvent& event);  // to the sink, unless the program has ended
    // A handler that waits in the host (a yield, a modal box, a pop-up menu)
    // goes no further once the program has ended: throws ProgramEnded.
    void stop_if_ended() const;
    void run_queue();
    SimControl* find_control(const std::string& name, int index) const;
    SimControl* control_of_window(Hwnd window) const;
    void post_timer_ticks();
    Hwnd hit_test(Point screen) const;
    // The folder this desktop's program claimed is free again.
    void release_program_folder();
    // The focus goes to the next tab stop after `from` (0: the first one).
    void move_focus(bool backwards, Hwnd from);
    // A control that can no longer keep the focus lets it go.
    void focus_leaves(Hwnd control);
    // The capture goes to `window` (0: nobody); a box that loses it while a
    // press is held gets LostCapture.
    void move_capture(Hwnd window);
    void mouse_event(SimControl& control, EventKind kind, int button, Point screen);
    std::unique_ptr<Impl> impl_;
    CallLog& log_;
    Point cursor_{};
    Hwnd capture_ = 0;
    int buttons_down_ = 0;     // of the user's pointer
    Hwnd pressed_window_ = 0;  // where the last press went that was no box's
    SimFocus focus_;
    int surfaces_open_ = 0;
    int surfaces_taken_ = 0;
    int fill_calls_ = 0;
    SimEventQueue events_;
    std::int64_t now_ = 0;
    std::deque<int> box_answers_;
    std::vector<ShownMessageBox> boxes_;
    std::deque<std::string> menu_choices_;
    std::vector<std::string> popups_;
    std::vector<StartedProgram> started_;
    bool fail_start_ = false;
    bool fail_timers_ = false;
    std::vector<SetWindowPosCall> pos_calls_;
    std::set<Hwnd> topmost_;
    double tppx_ = 15.0;
    double tppy_ = 15.0;
    std::optional<Hwnd> active_override_;
};

}  // namespace wl::sim

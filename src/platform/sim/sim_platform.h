// A simulated desktop for the unit tests: windows with class, title,
// rectangle, pixels, parent/owner and z-ordered children; message boxes
// whose buttons close them when clicked; an event queue with virtual time;
// scripted answers for the program's own message boxes and pop-up menus;
// recorded shell and file calls; and failures on demand.
//
// Every call the logic makes is appended to a call log so tests can check
// what was passed and in which order. Arguments are separated by "," with no
// spaces; handles, menus and colours are written in upper-case hexadecimal
// with a "0x" prefix, 0 as "0" (SetWindowPos's insert-after also as -1 / -2
// for the topmost / not-topmost markers); numbers in decimal; texts as they
// are; a missing (null) text as NULL. The lines:
//
//   FindWindowA(class,title)          FindWindowExA(parent,after,class,title)
//   BM_CLICK(button)                  WM_GETTEXT(window,buffer_chars)
//   GetWindowTextA(window,chars)      GetClassNameA(window,chars)
//   GetParent(window)                 GetWindow(window,relation)   relation 5 / 2
//   GetDesktopWindow()                GetCursorPos()
//   WindowFromPoint(x,y)              SetCapture(window)   ReleaseCapture()
//   GetWindowRect(window)             GetActiveWindow()
//   GetWindowDC(window)               ReleaseDC(window)
//   GetPixel(window,x,y)              SetPixel(window,x,y,colour)
//   FillRect(window,left,top,right,bottom,colour)
//   GetSystemMenu(window,0)           GetMenuItemCount(menu)
//   RemoveMenu(menu,item,flags)       DrawMenuBar(window)
//   SetWindowPos(window,insert_after,x,y,cx,cy,flags)
//   Shell_NotifyIconA(action)         ShellExecuteA(owner,verb,file,parameters,directory,show)
//   GetPrivateProfileStringA(section,key,default,buffer_chars,path)
//   WritePrivateProfileStringA(section,key,value,path)
//   CreateFileA(path)                 ListFiles(folder,pattern)
//   CreateForm(name)                  CreateControl(name)   "cmd1(0)" for arrays
//   PopupMenu(menu)                   MessageBox(text|caption)
//   DoEvents                          Shell(command_line,show)
//   Run                               End
//
// Not logged: the properties twips_per_pixel_x/y, program_folder and
// separator, and the operations of the program's own form and controls
// (tests read their state instead).
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

#include "platform/platform.h"

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
    bool hung = false;           // does not answer messages (clicks time out)
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

struct ShellExecuteCall {
    Hwnd owner = 0;
    std::optional<std::string> verb;
    std::string file;
    std::optional<std::string> parameters;
    std::string directory;
    int show = 0;
};

struct NotifyIconCall {
    std::uint32_t action = 0;
    TrayRecord record;
};

struct SetWindowPosCall {
    Hwnd window = 0;
    Hwnd insert_after = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned flags = 0;
};

// Shared call log and failure switches of the three simulated services.
class CallLog {
  public:
    // Appends the call, then runs on_call (not again for calls that on_call
    // itself makes).
    void record(std::string call);
    const std::vector<std::string>& calls() const { return calls_; }
    // Calls whose text starts with `prefix`, in order.
    std::vector<std::string> calls_starting(const std::string& prefix) const;
    void clear() { calls_.clear(); }
    // Hook run after each recorded call (tests use it to change the desktop in
    // the middle of a walk, a click or an outline).
    std::function<void(const std::string& call)> on_call;

  private:
    std::vector<std::string> calls_;
    bool in_hook_ = false;
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
    int pixel_writes() const { return pixel_writes_; }  // set_pixel calls
    int fill_calls() const { return fill_calls_; }

    // Pointer.
    void set_cursor(Point screen) { cursor_ = screen; }
    Hwnd capture() const { return capture_; }
    // The user's pointer: a button (1 left, 2 right, 4 middle) pressed,
    // moved and released at screen points. Each goes to the window holding
    // the capture, else to the window under the pointer, and reaches the
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
    Hwnd focus() const { return focus_; }
    // A window of another program takes the pointer capture (the user
    // switched away in the middle of a press, say); 0: it lets it go again.
    void take_capture(Hwnd other);

    // --- The program's own user interface --------------------------------
    // create_form makes a hidden top-level "WendlockForm" window titled with
    // the caption: the client area at the design position plus a frame
    // (3 pixels at the sides and bottom, 26 at the top). Showing the form
    // (set_visible false -> true) queues its Activate event. Controls with a
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
    bool request_close(int reason);   // asks the sink; true when refused
    std::size_t pending_events() const { return queue_.size(); }

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
    bool ended() const { return ended_; }
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
    int get_menu_item_count(MenuHandle menu) override;
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

  private:
    // Implementation state; see sim_desktop.cpp and sim_host.cpp.
    friend class SimControl;
    friend class SimFormWindow;
    friend class SimSurface;
    struct Impl;
    void record(std::string call);
    void deliver(const UiEvent& event);  // to the sink, unless the program has ended
    void run_queue();
    SimControl* find_control(const std::string& name, int index) const;
    SimControl* control_of_window(Hwnd window) const;
    void post_timer_ticks();
    Hwnd hit_test(Point screen) const;
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
    int buttons_down_ = 0;      // of the user's pointer
    Hwnd pressed_window_ = 0;   // where the last press went that was no box's
    int handlers_running_ = 0;  // deliver() calls in progress
    Hwnd focus_ = 0;
    int surfaces_open_ = 0;
    int surfaces_taken_ = 0;
    int pixel_writes_ = 0;
    int fill_calls_ = 0;
    std::deque<UiEvent> queue_;
    std::int64_t now_ = 0;
    std::deque<int> box_answers_;
    std::vector<ShownMessageBox> boxes_;
    std::deque<std::string> menu_choices_;
    std::vector<std::string> popups_;
    std::vector<StartedProgram> started_;
    bool fail_start_ = false;
    bool ended_ = false;
    std::vector<SetWindowPosCall> pos_calls_;
    std::set<Hwnd> topmost_;
    double tppx_ = 15.0;
    double tppy_ = 15.0;
    std::optional<Hwnd> active_override_;
};

class SimShell final : public Shell {
  public:
    explicit SimShell(CallLog& log) : log_(log) {}
    std::uint32_t tray_record_size() const override { return 88; }
    bool notify_icon(std::uint32_t action, const TrayRecord& record) override;
    std::intptr_t shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::string& directory, int show) override;

    const std::vector<NotifyIconCall>& notify_calls() const { return notify_calls_; }
    const std::vector<ShellExecuteCall>& executed() const { return executed_; }
    bool icon_present() const { return icon_present_; }
    void fail_notify_icon(bool fail) { fail_notify_ = fail; }

  private:
    CallLog& log_;
    std::vector<NotifyIconCall> notify_calls_;
    std::vector<ShellExecuteCall> executed_;
    bool icon_present_ = false;
    bool fail_notify_ = false;
};

// Real files through the portable INI implementation, in a folder of the
// test's choosing.
class SimFiles final : public FileSystem {
  public:
    SimFiles(CallLog& log, std::string program_folder)
        : log_(log), folder_(std::move(program_folder)) {}
    std::string get_private_profile_string(const std::string& section, const std::string& key,
                                           const std::string& default_value, int buffer_chars,
                                           const std::string& path) override;
    std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                      const std::string& path) override;
    bool write_private_profile_string(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& path) override;
    bool create_new_file(const std::string& path) override;
    std::vector<std::string> list_files(const std::string& folder,
                                        const std::string& pattern) override;
    std::string program_folder() override { return folder_; }
    char separator() const override { return '/'; }

    void set_program_folder(std::string folder) { folder_ = std::move(folder); }
    // The next call of the named operation ("read", "write", "create",
    // "list") throws std::runtime_error, as a failing call would.
    void fail_next(const std::string& operation) { failing_.insert(operation); }

  private:
    void maybe_fail(const std::string& operation);
    CallLog& log_;
    std::string folder_;
    std::set<std::string> failing_;
};

// One simulated world, ready for a test.
struct SimWorld {
    explicit SimWorld(std::string program_folder)
        : desktop(log), shell(log), files(log, std::move(program_folder)) {}
    CallLog log;
    SimDesktop desktop;
    SimShell shell;
    SimFiles files;
    Platform platform() { return Platform{desktop, shell, files, desktop}; }
};

}  // namespace wl::sim

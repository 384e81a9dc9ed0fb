// The state behind Win32Host: the form, the records of its controls and the
// host's own bookkeeping. Its members are defined across the files of
// platform/win32, one concern each; the comment above each group names it.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form_window.h"
#include "platform/pointer_press.h"
#include "platform/tab_order.h"
#include "platform/win32/handles.h"
#include "platform/win32/images.h"
#include "platform/win32/win32_host.h"

namespace wl::win32 {

// What the host keeps of one control (or of the form itself). Records live as
// long as the host, so window procedures may hold on to them.
struct ControlRecord {
    Win32Host::Impl* host = nullptr;
    ControlSpec design;          // name, index, kind and design values; a menu's
                                 // design.text is its current caption
    HWND hwnd = nullptr;         // nullptr for shapes, timers and menus
    int id = 0;                  // control, menu command or timer identifier
    std::optional<Colour> back;  // design.back_colour as the logic changed it
    Picture picture = Picture::None;
    UniqueFont font;
    UniqueBrush brush;  // background brush of WM_CTLCOLOR*, in brush_colour
    Colour brush_colour = kInvalidColour;
    std::string folder;  // file list
    // State of the kinds without a window of their own.
    bool visible = true;
    bool enabled = true;
    bool timer_running = false;
    RECT bounds{};  // shape: pixels in the form's client area
    // Menus.
    UniqueMenu menu;                       // a Menu's pop-up menu
    ControlRecord* parent_menu = nullptr;  // a MenuItem's menu
    std::vector<ControlRecord*> items;     // a Menu's items, top to bottom
    bool checked = false;                  // a menu item's check mark while it is hidden
    // Subclassed controls (text boxes, graphical command buttons): their own
    // window procedure; a text box's press that may become a click.
    WNDPROC original_proc = nullptr;
    bool pressed = false;
    PointerPress pointer;  // picture boxes: buttons held since the press
};

struct Win32Host::Impl {
    static constexpr const char* kFormClass = "WendlockForm";
    static constexpr const char* kPictureClass = "WendlockPicture";
    // Posted to the form when it goes from hidden to shown.
    static constexpr UINT kActivateMessage = WM_APP + 1;

    explicit Impl(FileSystem& files);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    FileSystem& files;
    HINSTANCE instance;
    double tpp_x = 15.0;
    double tpp_y = 15.0;
    int dpi_y = 96;
    Images images;
    UniqueFont default_font;
    UINT taskbar_created = 0;

    EventSink* sink = nullptr;
    HWND form = nullptr;
    ControlRecord form_record;
    MousePointer pointer = MousePointer::Default;
    Picture mouse_icon = Picture::None;
    HWND tooltip = nullptr;
    HWND saved_focus = nullptr;
    bool form_pressed = false;
    bool after_double_click = false;
    bool ended = false;
    int yield_depth = 0;       // do_events calls running inside one another
    int handlers_running = 0;  // deliveries to the sink in progress
    bool reporting = false;    // an error box is open

    std::vector<std::unique_ptr<ControlRecord>> records;  // creation (tab) order
    std::map<int, ControlRecord*> by_id;
    std::map<HWND, ControlRecord*> by_hwnd;
    int next_id = 2000;  // clear of the ids of combo boxes' own children

    // The logic let go of the form: no event reaches it any more (host.cpp).
    void release_form();

    // --- Building the windows (window_creation.cpp) ------------------------
    void register_classes();
    void create_form(const FormSpec& design, EventSink& event_sink);
    ControlRecord& create_control(const ControlSpec& design);
    int to_pixels_x(int twips) const;
    int to_pixels_y(int twips) const;
    HFONT make_font(const Font& font) const;
    // The control's tip: added, replaced, or taken away for "".
    void set_tooltip(ControlRecord& record, std::string_view text);

    // --- Delivering events to the program (event_delivery.cpp) -------------
    // Runs f, showing any exception in a message box instead of letting it
    // unwind into user32; false when f threw.
    bool guarded(const std::function<void()>& f);
    void report_error(const std::string& text);
    void deliver(const UiEvent& event);
    void deliver(const ControlRecord& record, EventKind kind);
    bool query_unload(int reason);
    void mouse_event(ControlRecord& record, EventKind kind, int button, WPARAM wparam,
                     LPARAM lparam);

    // --- Turning window messages into events (window_procedures.cpp) -------
    LRESULT form_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT picture_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                            LPARAM lparam);
    // A message to a control the host subclassed, on its way to the
    // control's own window procedure.
    LRESULT subclassed_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                               LPARAM lparam);
    LRESULT text_box_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                             LPARAM lparam);
    void on_command(WPARAM wparam, LPARAM lparam);
    void on_form_mouse(UINT message);
    void on_close_request();

    // --- The pointer: presses, capture, the mouse pointer (pointer.cpp) ----
    // A button, move or capture message of a picture box; false for others.
    bool on_picture_pointer(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                            LPARAM lparam);
    void cancel_pointer_presses();
    bool on_set_cursor(HWND window, UINT hit_test);
    void apply_pointer();

    // --- Keyboard focus and Tab (tab_and_focus.cpp) -------------------------
    bool handle_tab(const MSG& msg);
    std::vector<TabStop> tab_stops() const;
    void save_focus(HWND form_window);
    void restore_focus(HWND form_window);
    bool has_focus(HWND control) const;
    void focus_back_to_form();

    // --- Painting (painting.cpp) ---------------------------------------------
    Colour effective_back(const ControlRecord& record) const;
    HBRUSH brush_for(ControlRecord& record);
    void repaint(const ControlRecord& record);
    LRESULT on_ctl_colour(UINT message, HDC dc, HWND control);
    void draw_button(const DRAWITEMSTRUCT& item);
    void fill_background(HDC dc);
    void paint_form(HDC dc);
    void paint_picture(ControlRecord& record, HWND hwnd);

    // --- State of the controls (control_state.cpp) ---------------------------
    ControlRecord* record_of(HWND hwnd) const;
    void set_visible(ControlRecord& record, bool visible);
    void set_enabled(ControlRecord& record, bool enabled);
    void set_option(ControlRecord& record, bool value);

    // --- Pop-up menus (menus.cpp) ---------------------------------------------
    void rebuild_menu(ControlRecord& menu);
    void popup_menu(ControlRecord& menu);

    // --- Timers (timers.cpp) ----------------------------------------------------
    void start_timer(ControlRecord& timer);
    void stop_timer(ControlRecord& timer);
    void stop_timers();
    void on_timer(WPARAM id);

    // --- File lists (file_lists.cpp) --------------------------------------------
    void refresh_file_list(ControlRecord& list);

    // --- The message loop (message_loop.cpp) -----------------------------------
    void dispatch(MSG& msg);
    // A handler that waits in the host (a yield, a modal box, a pop-up menu)
    // goes no further once the program has ended: throws ProgramEnded.
    void stop_if_ended() const;
    void do_events();
    void run();
    void end_program();

    // --- Modal message boxes (message_boxes.cpp) --------------------------------
    int message_box(const std::string& text, const std::string& caption, unsigned flags);

    // --- Starting other programs (program_launch.cpp) ----------------------------
    void start_program(const std::string& command_line, int show);

    // --- One instance per program folder (single_instance.cpp) -------------------
    UniqueHandle instance_mutex;
    std::uint32_t instance_key = 0;
    static UINT instance_request_message();
    bool claim_program_folder(const std::string& folder);
    void ask_running_instance(const std::string& folder, InstanceRequest request);
    bool wait_until_folder_free(const std::string& folder, int timeout_ms);
    // A request broadcast by a later start; false when it is for another folder.
    bool on_instance_request(WPARAM key, LPARAM request);
};

// The window procedures of the host's windows (window_procedures.cpp).
LRESULT CALLBACK form_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK picture_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK subclassed_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The Control object handed to the logic for a record (the form's as a
// FormWindow), and the record behind such an object (nullptr for a control
// of another platform) (control_wrapper.cpp).
std::unique_ptr<FormWindow> make_control(Win32Host::Impl& host, ControlRecord& record);
ControlRecord* record_of_control(Control& control);

}  // namespace wl::win32

// Win32Host::Impl: the parts of the host, each owning its own state behind
// a small interface (control_table.h, main_window.h, message_loop.h,
// event_delivery.h, tab_and_focus.h, timers.h, tray_messages.h,
// single_instance.h), and the work that joins them. Its members are defined
// across the files of platform/win32, one concern each; the comment above
// each group names it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/form_window.h"
#include "platform/win32/control_table.h"
#include "platform/win32/event_delivery.h"
#include "platform/win32/handles.h"
#include "platform/win32/images.h"
#include "platform/win32/main_window.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/screen_units.h"
#include "platform/win32/single_instance.h"
#include "platform/win32/tab_and_focus.h"
#include "platform/win32/timers.h"
#include "platform/win32/tray_messages.h"
#include "platform/win32/win32_host.h"

namespace wl::win32 {

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
    ScreenUnits screen;
    Images images;
    UniqueFont default_font;

    // The parts.
    ControlTable controls{*this};
    MainWindow window;
    MessageLoop loop;
    EventDelivery events{loop, window};
    KeyboardFocus focus{controls, window};
    Timers timers{window};
    TrayMessages tray;
    SingleInstance single_instance;

    // The main window's mouse pointer (pointer.cpp), and a press on its
    // background that may become a click (window_procedures.cpp).
    MousePointer pointer = MousePointer::Default;
    Picture mouse_icon = Picture::None;
    bool form_pressed = false;
    bool after_double_click = false;

    // The logic let go of the form: no event reaches it any more (host.cpp).
    void release_form();

    // --- Building the windows (window_creation.cpp) ------------------------
    void register_classes();
    void create_form(const FormSpec& design, EventSink& event_sink);
    ControlRecord& create_control(const ControlSpec& design);
    void create_window(ControlRecord& record);
    void dress_window(ControlRecord& record);
    // The control's tip: added, replaced, or taken away for "".
    void set_tooltip(ControlRecord& record, std::string_view text);
    void create_windowless(ControlRecord& record);
    // Raises Win32Error when the system has no such font.
    UniqueFont make_font(const Font& font) const;

    // --- Turning window messages into events (window_procedures.cpp) -------
    LRESULT form_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> on_registered_message(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT picture_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                            LPARAM lparam);
    // A message to a control the host subclassed, on its way to the
    // control's own window procedure.
    LRESULT subclassed_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                               LPARAM lparam);
    LRESULT text_box_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                             LPARAM lparam);
    void on_form_mouse(UINT message);
    void on_close_request();
    void on_form_destroyed();
    // Notifications of the standard controls (control_notifications.cpp).
    void on_command(WPARAM wparam, LPARAM lparam);

    // --- The pointer: presses, capture, the mouse pointer (pointer.cpp) ----
    // A button, move or capture message of a picture box; false for others.
    bool on_picture_pointer(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                            LPARAM lparam);
    void on_picture_release(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                            LPARAM lparam);
    void mouse_event(ControlRecord& record, EventKind kind, int button, WPARAM wparam,
                     LPARAM lparam);
    void cancel_pointer_presses();
    bool on_set_cursor(HWND target, UINT hit_test);
    void apply_pointer();

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
    void set_visible(ControlRecord& record, bool visible);
    void set_enabled(ControlRecord& record, bool enabled);
    void set_option(ControlRecord& record, bool value);
    void set_text(ControlRecord& record, const std::string& text);

    // --- Pop-up menus (menus.cpp) ---------------------------------------------
    void rebuild_menu(ControlRecord& menu);
    void popup_menu(ControlRecord& menu);

    // --- Timers (timers.cpp) ----------------------------------------------------
    void start_timer(ControlRecord& timer);
    void on_timer(WPARAM id);

    // --- File lists (file_lists.cpp) --------------------------------------------
    void refresh_file_list(ControlRecord& list);

    // --- The message loop (message_loop.cpp) -----------------------------------
    void dispatch(MSG& msg);
    void do_events();
    void run();
    void end_program();

    // --- Modal message boxes (message_boxes.cpp) --------------------------------
    int message_box(const std::string& text, const std::string& caption, unsigned flags);

    // --- Starting other programs (program_launch.cpp) ----------------------------
    void start_program(const std::string& command_line, int show);
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

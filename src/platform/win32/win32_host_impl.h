// The state behind Win32Host: the form, the records of its controls, the
// loaded images, and the window procedures that turn messages into events.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/pointer_press.h"
#include "platform/win32/win32_internal.h"
#include "platform/win32/win32_platform.h"

namespace wl::win32 {

// The program's pictures, loaded once from the resources.
class Images {
  public:
    explicit Images(HINSTANCE instance);
    // The handle the logic sees: the small tray icon (what the shell shows),
    // the large form icon, the finder cursor, the logo bitmap.
    std::uint64_t handle(Picture picture) const;
    // Paints the picture with its top-left corner at (x, y).
    void draw(HDC dc, Picture picture, int x, int y) const;
    // The picture as a mouse pointer (nullptr for the logo and None).
    HCURSOR cursor(Picture picture) const;
    // The picture as a window icon (nullptr for the logo and None).
    HICON icon(Picture picture, bool small) const;

  private:
    UniqueIcon form_large_, form_small_, tray_large_, tray_small_;
    UniqueCursor finder_;
    UniqueBitmap logo_;
};

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
    // Subclassed text boxes and click tracking.
    WNDPROC original_proc = nullptr;
    bool pressed = false;
    PointerPress pointer;  // picture boxes: buttons held since the press
};

struct Win32Host::Impl {
    static constexpr const char* kFormClass = "WendlockForm";
    static constexpr const char* kPictureClass = "WendlockPicture";

    explicit Impl(FileSystem& files);
    ~Impl();

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
    int yield_depth = 0;     // do_events calls running inside one another
    bool reporting = false;  // an error box is open

    std::vector<std::unique_ptr<ControlRecord>> records;  // creation (tab) order
    std::map<int, ControlRecord*> by_id;
    std::map<HWND, ControlRecord*> by_hwnd;
    int next_id = 2000;  // clear of the ids of combo boxes' own children

    // --- building ---------------------------------------------------------
    void create_form(const FormSpec& design, EventSink& event_sink);
    ControlRecord& create_control(const ControlSpec& design);
    int to_pixels_x(int twips) const;
    int to_pixels_y(int twips) const;
    HFONT make_font(const Font& font) const;

    // --- events -----------------------------------------------------------
    // Runs f, showing any exception in a message box instead of letting it
    // unwind into user32.
    // Returns false when f threw.
    bool guarded(const std::function<void()>& f);
    void report_error(const std::string& text);
    void deliver(const UiEvent& event);
    void deliver(const ControlRecord& record, EventKind kind);
    bool query_unload(int reason);
    void mouse_event(ControlRecord& record, EventKind kind, int button, WPARAM wparam,
                     LPARAM lparam);

    // --- window procedures ------------------------------------------------
    LRESULT form_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT picture_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                            LPARAM lparam);
    LRESULT text_box_message(ControlRecord& record, HWND hwnd, UINT message, WPARAM wparam,
                             LPARAM lparam);
    void on_command(WPARAM wparam, LPARAM lparam);
    LRESULT on_ctl_colour(UINT message, HDC dc, HWND control);
    void draw_button(const DRAWITEMSTRUCT& item);
    void fill_background(HDC dc);
    void paint_form(HDC dc);
    bool on_set_cursor(HWND window, UINT hit_test);
    void apply_pointer();
    void cancel_pointer_presses();

    // --- message loop -----------------------------------------------------
    void dispatch(MSG& msg);
    bool handle_tab(const MSG& msg);
    bool focusable(const ControlRecord& record) const;

    // --- control state ----------------------------------------------------
    ControlRecord* record_of(HWND hwnd) const;
    Colour effective_back(const ControlRecord& record) const;
    HBRUSH brush_for(ControlRecord& record);
    void repaint(const ControlRecord& record);
    void set_visible(ControlRecord& record, bool visible);
    void set_enabled(ControlRecord& record, bool enabled);
    void set_option(ControlRecord& record, bool value);
    void rebuild_menu(ControlRecord& menu);
    void start_timer(ControlRecord& timer);
    void stop_timer(ControlRecord& timer);
    void refresh_file_list(ControlRecord& list);
    void end_program();
    // The logic let go of the form: no event reaches it any more.
    void release_form();
};

// Posted to the form when it goes from hidden to shown.
constexpr UINT kActivateMessage = WM_APP + 1;

// The window procedure of subclassed text boxes.
LRESULT CALLBACK text_box_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The Control object handed to the logic for a record (the form's as a
// FormWindow), and the record behind such an object (nullptr for a control
// of another platform).
std::unique_ptr<FormWindow> make_control(Win32Host::Impl& host, ControlRecord& record);
ControlRecord* record_of_control(Control& control);

}  // namespace wl::win32

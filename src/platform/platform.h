// The one interface through which the program's logic reaches the outside
// world: the window system, the shell, INI files and folders, and the host
// services of the user interface (controls, events, message boxes, timers,
// pop-up menus, starting programs).
//
// Two implementations exist: platform/win32 (the real one) and platform/sim
// (a simulated desktop for the unit tests).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace wl {

// ---------------------------------------------------------------------------
// Window system (windows of other programs, and our own).

// A whole-window drawing surface (origin at the window's outer top-left
// corner). Destroying it releases it; none can leak.
class DrawSurface {
  public:
    virtual ~DrawSurface() = default;
    virtual Colour get_pixel(int x, int y) = 0;               // kInvalidColour outside the window
    virtual void set_pixel(int x, int y, Colour colour) = 0;  // outside: ignored
    // Paints every pixel of [left, right) x [top, bottom) in one call; the
    // part outside the window is ignored.
    virtual void fill(const Rect& area, Colour colour) = 0;
};

constexpr Hwnd kHwndTopmost = static_cast<Hwnd>(-1);
constexpr Hwnd kHwndNoTopmost = static_cast<Hwnd>(-2);

// RemoveMenu flags.
constexpr unsigned kMfByCommand = 0x0000;
constexpr unsigned kMfByPosition = 0x0400;
constexpr unsigned kMfRemove = 0x1000;
constexpr unsigned kScClose = 0xF060;

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // FindWindowA: first top-level window (z-order) whose class and title equal
    // the texts, case ignored. An empty class finds nothing.
    virtual Hwnd find_window(const std::string& class_name, const std::string& title) = 0;
    // FindWindowExA: first direct child of parent after `after` with that class
    // and caption (case ignored). Parent 0 means the desktop's top-level windows.
    virtual Hwnd find_window_ex(Hwnd parent, Hwnd after, const std::string& class_name,
                                const std::string& title) = 0;
    // BM_CLICK, waiting until the button has handled it, but giving up on a
    // hung window after a bounded wait. Returns false when the click was not
    // delivered (no such window, or it did not answer in time).
    virtual bool click_button(Hwnd button) = 0;
    // WM_GETTEXT with a buffer of `buffer_chars` characters: the text cut to
    // buffer_chars - 1 characters; nullopt when the window is 0 or gone.
    virtual std::optional<std::string> get_text_message(Hwnd window, int buffer_chars) = 0;
    // GetWindowTextA / GetClassNameA with a buffer of `buffer_chars`
    // characters: at most buffer_chars - 1 characters, empty on failure.
    virtual std::string get_window_text(Hwnd window, int buffer_chars) = 0;
    virtual std::string get_class_name(Hwnd window, int buffer_chars) = 0;
    virtual Hwnd get_parent(Hwnd window) = 0;  // parent, or owner of a top-level window
    virtual Hwnd get_window(Hwnd window, WindowRelation relation) = 0;
    virtual Hwnd desktop_window() = 0;

    virtual Point cursor_pos() = 0;
    virtual Hwnd window_from_point(Point screen) = 0;
    virtual void set_capture(Hwnd window) = 0;
    virtual void release_capture() = 0;

    // Outer rectangle in screen pixels; false (and `rect` untouched) on failure.
    virtual bool get_window_rect(Hwnd window, Rect& rect) = 0;
    // A surface that does nothing when the window is gone (never null).
    virtual std::unique_ptr<DrawSurface> window_surface(Hwnd window) = 0;

    virtual Hwnd active_window() = 0;
    virtual MenuHandle get_system_menu(Hwnd window) = 0;   // 0 on failure
    virtual int get_menu_item_count(MenuHandle menu) = 0;  // -1 on failure
    virtual bool remove_menu(MenuHandle menu, unsigned item, unsigned flags) = 0;
    virtual void draw_menu_bar(Hwnd window) = 0;
    virtual void set_window_pos(Hwnd window, Hwnd insert_after, int x, int y, int cx, int cy,
                                unsigned flags) = 0;
};

// ---------------------------------------------------------------------------
// Shell.

// The tray icon record, field by field as the shell receives it. The win32
// implementation copies it into NOTIFYICONDATAA (version-1 layout).
struct TrayRecord {
    std::uint32_t size = 0;  // cbSize: Shell::tray_record_size()
    Hwnd window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callback_message = 0;
    std::uint64_t icon = 0;
    std::array<char, 64> tip{};
};

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimDelete = 2;

class Shell {
  public:
    virtual ~Shell() = default;
    // sizeof the ANSI version-1 NOTIFYICONDATA of the platform built for
    // (88 on 32-bit Windows, 104 on 64-bit).
    virtual std::uint32_t tray_record_size() const = 0;
    virtual bool notify_icon(std::uint32_t action, const TrayRecord& record) = 0;
    // ShellExecuteA; a null verb / parameters is std::nullopt. Returns the
    // shell's value (greater than 32 on success).
    virtual std::intptr_t shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                        const std::string& file,
                                        const std::optional<std::string>& parameters,
                                        const std::string& directory, int show) = 0;
};

// ---------------------------------------------------------------------------
// Files: private-profile (INI) calls, the default profile, the program folder.

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // GetPrivateProfileStringA with a buffer of `buffer_chars`: returns what it
    // copied in front of the closing NUL (at most buffer_chars - 1 characters).
    virtual std::string get_private_profile_string(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& default_value,
                                                   int buffer_chars, const std::string& path) = 0;
    // GetPrivateProfileStringA with no key name: the names of the keys of the
    // section, in file order; empty when the file or the section is missing.
    virtual std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                              const std::string& path) = 0;
    // WritePrivateProfileStringA; false when the write did not happen.
    virtual bool write_private_profile_string(const std::string& section, const std::string& key,
                                              const std::string& value,
                                              const std::string& path) = 0;
    // CreateFileA(CREATE_NEW, write-through) then closed at once: true when a
    // new empty file was made; an existing file is left untouched.
    virtual bool create_new_file(const std::string& path) = 0;
    // Names (without folder) of the files of `folder` matching "*.<ext>" in
    // any letter case, hidden and system files left out, sorted by name
    // without regard to case.
    virtual std::vector<std::string> list_files(const std::string& folder,
                                                const std::string& pattern) = 0;
    // The folder of the executable, without a trailing separator except at a
    // drive root.
    virtual std::string program_folder() = 0;
    virtual char separator() const = 0;
};

// ---------------------------------------------------------------------------
// Host user-interface services: controls, events, message boxes, timers.

enum class ControlKind {
    Form,
    Label,
    TextBox,
    PictureBox,
    Shape,
    OptionButton,
    CommandButton,
    ComboBox,
    ListBox,
    FileList,
    Timer,
    Menu,      // a top-level menu that is only popped up
    MenuItem,  // caption "-" makes a separator
};

// Images the program carries in its resources.
enum class Picture { None, FinderTool, TrayIcon, Logo, FormIcon };

// Mouse pointer of the main window.
enum class MousePointer { Default = 0, Custom = 99 };

struct Font {
    std::string name;  // empty: the window's default font
    int points = 0;
    bool bold = false;
    bool italic = false;
};

// Design-time description of one control. Positions and sizes in twips.
struct ControlSpec {
    std::string name;
    int index = -1;  // element of a control array, -1 for a plain control
    ControlKind kind = ControlKind::Label;
    std::string text;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;
    std::optional<Colour> fore_colour;
    std::optional<Colour> back_colour;
    bool graphical = false;  // command button that shows its back colour
    bool centred = false;    // label alignment
    bool checked = false;    // menu item
    Font font;
    std::string tooltip;
    Picture picture = Picture::None;  // picture box image at creation
    std::string pattern;              // file list
    int interval_ms = 0;              // timer
    std::string parent;               // menu item: name of its menu
};

// Client size and placement of the main window, in twips.
struct FormSpec {
    std::string name = "Form1";
    std::string caption;
    int client_width = 0, client_height = 0;
    int left = 0, top = 0;
    Colour back_colour = 0;
    Picture icon = Picture::None;
};

// One control (or the form, a menu item, a timer) as the platform shows it.
// Every read goes to the platform, so what the user changed (typed text,
// option chosen) is what the logic sees. Operations that make no sense for
// a kind throw std::logic_error.
class Control {
  public:
    virtual ~Control() = default;
    virtual Hwnd hwnd() const = 0;
    virtual std::string text() const = 0;  // caption or text
    virtual void set_text(std::string_view text) = 0;
    virtual bool visible() const = 0;
    virtual void set_visible(bool visible) = 0;
    virtual bool enabled() const = 0;
    virtual void set_enabled(bool enabled) = 0;
    virtual Colour back_colour() const = 0;
    virtual void set_back_colour(Colour colour) = 0;
    // Option button: selected. Menu item: checked.
    virtual bool value() const = 0;
    virtual void set_value(bool value) = 0;
    // List box, combo box, file list.
    virtual void clear() = 0;
    virtual void add_item(std::string_view item) = 0;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    virtual int list_index() const = 0;
    virtual void set_list_index(int index) = 0;  // combo box: also sets its text
    // File list: point it at a folder (re-reads the listing) / re-read it.
    virtual void set_folder(const std::string& folder) = 0;
    virtual void refresh() = 0;
    // Picture box.
    virtual Picture picture() const = 0;
    virtual void set_picture(Picture picture) = 0;
    virtual std::uint64_t picture_handle() const = 0;  // icon handle of the picture
};

// The main window: a control with a caption, placement and a mouse pointer.
class FormWindow : public Control {
  public:
    virtual MousePointer mouse_pointer() const = 0;
    virtual void set_mouse_pointer(MousePointer pointer) = 0;
    virtual void set_mouse_icon(Picture picture) = 0;  // the custom pointer's image
    // Outer placement in twips.
    virtual int left_twips() const = 0;
    virtual int top_twips() const = 0;
    virtual int width_twips() const = 0;
    virtual int height_twips() const = 0;
};

enum class EventKind {
    Click,
    DblClick,
    MouseDown,
    MouseMove,
    MouseUp,
    Timer,
    Activate,        // the form became active (start-up, shown again)
    Unload,          // form
    Terminate,       // form
    TaskbarCreated,  // the shell's taskbar was (re)created
    EndSession,      // the user's session is ending: the program must go
    LostCapture,     // a pressed control lost the pointer before its release
};

// Pointer events of a picture box follow the classic form rules: a press
// makes the box the owner of the pointer until its buttons are up (it takes
// the capture), so moves and the release reach it wherever the pointer is;
// a release reaches only a box that got the press; and when the capture is
// taken away while a button is down, the box gets LostCapture and no
// release. PointerPress (platform/pointer_press.h) holds this rule for
// every host.

struct UiEvent {
    std::string control;  // control name; "Form1" for the form's own events
    int index = -1;       // element of a control array
    EventKind kind = EventKind::Click;
    int button = 0;  // mouse events
    int shift = 0;
    float x = 0;  // twips
    float y = 0;
};

// Close-request reasons of Form_QueryUnload.
namespace unload_reason {
constexpr int kControlMenu = 0;  // system menu, Alt+F4, WM_CLOSE
constexpr int kFormCode = 1;     // the program itself
constexpr int kAppWindows = 2;   // the user's session is ending
constexpr int kTaskManager = 3;
}  // namespace unload_reason

// Thrown by Host::do_events into a handler when the program has ended while
// that handler was paused. Deliberately not a std::exception: handlers that
// report errors must not catch it; the host ends the handler silently.
struct ProgramEnded {};

class EventSink {
  public:
    virtual ~EventSink() = default;
    virtual void on_event(const UiEvent& event) = 0;
    // Returns true to refuse the close request.
    virtual bool on_query_unload(int reason) = 0;
};

class Host {
  public:
    virtual ~Host() = default;

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

// Everything the logic may reach, handed to it in one piece.
struct Platform {
    WindowSystem& windows;
    Shell& shell;
    FileSystem& files;
    Host& host;
};

}  // namespace wl

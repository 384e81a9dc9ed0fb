// The window system: windows of other programs, and our own, as the logic
// finds, reads, clicks, frames and places them.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/draw_surface.h"
#include "platform/types.h"

namespace wl {

constexpr Hwnd kHwndTopmost = static_cast<Hwnd>(-1);
constexpr Hwnd kHwndNoTopmost = static_cast<Hwnd>(-2);

// RemoveMenu flags.
constexpr unsigned kMfByCommand = 0x0000;
constexpr unsigned kMfRemove = 0x1000;
constexpr unsigned kScClose = 0xF060;

// Every window system keeps these rules (tests/conformance/window_cases.h
// checks them on user32 and on the simulated desktop):
// - Finding matches the whole class and title, case ignored; an empty class finds nothing.
// - Of equal windows the upper one is found first; hidden windows are found too.
// - find_window_ex looks at direct children only, after `after`, which must be one of them.
// - get_window gives children in creation order, newer top-level windows before older ones.
// - get_parent gives a child's parent and a pop-up's owner; other top-level windows have none.
// - Texts and class names are cut to the buffer less one; a gone window reads as nothing.
// - A hung window's text message and click give up; its texts, class and program still read.
// - window_from_point skips hidden windows and disabled children, not disabled top-level windows.
// - With no button down, the capture gets the moves over the program's own windows only.
// - A surface reads back what it painted; outside the window and on a gone one it reads invalid.
class WindowSystem {
  public:
    WindowSystem() = default;
    virtual ~WindowSystem() = default;
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

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
    // buffer_chars - 1 characters; nullopt when the window is 0, gone or
    // hung (the message timed out), or there is no buffer.
    virtual std::optional<std::string> get_text_message(Hwnd window, int buffer_chars) = 0;
    // GetWindowTextA / GetClassNameA with a buffer of `buffer_chars`
    // characters: at most buffer_chars - 1 characters, empty on failure.
    virtual std::string get_window_text(Hwnd window, int buffer_chars) = 0;
    virtual std::string get_class_name(Hwnd window, int buffer_chars) = 0;
    virtual Hwnd get_parent(Hwnd window) = 0;  // parent, or owner of a pop-up
    // GetWindowThreadProcessId, OpenProcess and QueryFullProcessImageNameA:
    // the full path of the executable of the process that owns the window,
    // asked of the system, never of that process (so a hung one cannot hold
    // it up). Empty when the window is 0 or gone or the process cannot be
    // asked.
    virtual std::string program_path(Hwnd window) = 0;
    virtual Hwnd get_window(Hwnd window, WindowRelation relation) = 0;
    virtual Hwnd desktop_window() = 0;

    virtual Point cursor_pos() = 0;
    // The deepest shown window at the point; a disabled child gives its parent.
    virtual Hwnd window_from_point(Point screen) = 0;
    virtual void set_capture(Hwnd window) = 0;
    virtual void release_capture() = 0;

    // Outer rectangle in screen pixels; false (and `rect` untouched) on failure.
    virtual bool get_window_rect(Hwnd window, Rect& rect) = 0;
    // A surface that does nothing when the window is gone (never null).
    virtual std::unique_ptr<DrawSurface> window_surface(Hwnd window) = 0;

    virtual Hwnd active_window() = 0;
    virtual MenuHandle get_system_menu(Hwnd window) = 0;  // 0 on failure
    virtual bool remove_menu(MenuHandle menu, unsigned item, unsigned flags) = 0;
    virtual void draw_menu_bar(Hwnd window) = 0;
    virtual void set_window_pos(Hwnd window, Hwnd insert_after, int x, int y, int cx, int cy,
                                unsigned flags) = 0;
};

}  // namespace wl

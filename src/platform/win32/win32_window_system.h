// The window system on user32 and gdi32.
//
// This header stays free of <windows.h>, so the program's start can include
// it without the Win32 types.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/window_system.h"

namespace wl::win32 {

class Win32WindowSystem final : public WindowSystem {
  public:
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

    // How long a message sent to another program's window may take before
    // that window counts as hung.
    static constexpr unsigned kClickTimeoutMs = 3000;
    static constexpr unsigned kTextTimeoutMs = 1000;
};

}  // namespace wl::win32

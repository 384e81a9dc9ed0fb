// The real platform: the window system, the shell, files and the host
// user-interface services on Win32.
//
// This header stays free of <windows.h>: everything that needs Win32 types
// lives in the .cpp files and in win32_internal.h.
#pragma once

#include <memory>

#include "platform/platform.h"

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

    // How long a message sent to another program's window may take before
    // that window counts as hung.
    static constexpr unsigned kClickTimeoutMs = 3000;
    static constexpr unsigned kTextTimeoutMs = 1000;
};

class Win32Shell final : public Shell {
  public:
    std::uint32_t tray_record_size() const override;
    bool notify_icon(std::uint32_t action, const TrayRecord& record) override;
    std::intptr_t shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::string& directory, int show) override;
};

class Win32FileSystem final : public FileSystem {
  public:
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
    std::string program_folder() override;
    char separator() const override { return '\\'; }
};

// The host runs one main window (the form) with its child controls, its
// timers and its pop-up menus, on the calling thread. File lists read their
// folders through `files`, which must outlive the host.
class Win32Host final : public Host {
  public:
    explicit Win32Host(FileSystem& files);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    std::unique_ptr<FormWindow> create_form(const FormSpec& design, EventSink& sink) override;
    std::unique_ptr<Control> create_control(FormWindow& form, const ControlSpec& design) override;
    void popup_menu(Control& menu) override;
    int message_box(const std::string& text, const std::string& caption, unsigned flags) override;
    void do_events() override;
    void start_program(const std::string& command_line, int show) override;
    void run() override;
    void end_program() override;
    double twips_per_pixel_x() const override;
    double twips_per_pixel_y() const override;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace wl::win32

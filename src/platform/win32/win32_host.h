// The host on user32: the main window, its controls and events, the message
// loop, modal boxes, pop-up menus and starting programs.
//
// This header stays free of <windows.h>, so the program's start can include
// it without the Win32 types.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/host.h"

namespace wl::win32 {

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
    bool claim_program_folder(const std::string& folder) override;
    void ask_running_instance(const std::string& folder, InstanceRequest request) override;
    bool wait_until_folder_free(const std::string& folder, int timeout_ms) override;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace wl::win32

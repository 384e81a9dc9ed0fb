// Win32Host itself: setting up and tearing down the host's state, and the
// Host interface, each operation handed to the part that does it.
#include <windows.h>

#include <stdexcept>

#include "platform/control_kinds.h"
#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

Win32Host::Impl::Impl(FileSystem& file_system)
    : files(file_system), instance(::GetModuleHandleA(nullptr)), images(instance) {
    {
        const WindowDc screen(nullptr, WindowDc::Area::Client);
        const int dpi_x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
        dpi_y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        if (dpi_x <= 0)
            throw_last_error("cannot read the screen resolution");
        if (dpi_y <= 0)
            dpi_y = dpi_x;
        tpp_x = 1440.0 / dpi_x;
        tpp_y = 1440.0 / dpi_y;
    }
    register_classes();
    default_font.reset(make_font(Font{"MS Sans Serif", 8, false, false}));
    taskbar_created = ::RegisterWindowMessageA("TaskbarCreated");
    form_record.host = this;
}

Win32Host::Impl::~Impl() {
    release_form();
}

void Win32Host::Impl::release_form() {
    sink = nullptr;
    ended = true;
    stop_timers();
    if (form != nullptr)
        ::DestroyWindow(form);
}

Win32Host::Win32Host(FileSystem& files) : impl_(std::make_unique<Impl>(files)) {}

Win32Host::~Win32Host() = default;

std::unique_ptr<FormWindow> Win32Host::create_form(const FormSpec& design, EventSink& sink) {
    impl_->create_form(design, sink);
    return make_control(*impl_, impl_->form_record);
}

std::unique_ptr<Control> Win32Host::create_control(FormWindow& form, const ControlSpec& design) {
    if (record_of_control(form) != &impl_->form_record) {
        throw std::logic_error("controls belong on this host's main window");
    }
    return make_control(*impl_, impl_->create_control(design));
}

void Win32Host::popup_menu(Control& menu) {
    ControlRecord* record = record_of_control(menu);
    if (record == nullptr || record->design.kind != ControlKind::Menu) {
        throw std::logic_error("only a menu can pop up");
    }
    impl_->popup_menu(*record);
}

int Win32Host::message_box(const std::string& text, const std::string& caption, unsigned flags) {
    return impl_->message_box(text, caption, flags);
}

void Win32Host::do_events() {
    impl_->do_events();
}

void Win32Host::start_program(const std::string& command_line, int show) {
    impl_->start_program(command_line, show);
}

void Win32Host::run() {
    impl_->run();
}

void Win32Host::end_program() {
    impl_->end_program();
}

double Win32Host::twips_per_pixel_x() const {
    return impl_->tpp_x;
}

double Win32Host::twips_per_pixel_y() const {
    return impl_->tpp_y;
}

bool Win32Host::claim_program_folder(const std::string& folder) {
    return impl_->claim_program_folder(folder);
}

void Win32Host::ask_running_instance(const std::string& folder, InstanceRequest request) {
    impl_->ask_running_instance(folder, request);
}

bool Win32Host::wait_until_folder_free(const std::string& folder, int timeout_ms) {
    return impl_->wait_until_folder_free(folder, timeout_ms);
}

}  // namespace wl::win32

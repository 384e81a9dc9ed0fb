// Delivering events to the program: each handler runs guarded (run_guarded),
// so that an error that escapes it is shown instead of unwinding into the
// system, and a handler ended by the end of the program stops quietly.
#include <windows.h>

#include <functional>

#include "platform/handler_guard.h"
#include "platform/nesting.h"
#include "platform/program_name.h"
#include "platform/win32/client_point.h"
#include "platform/win32/host_state.h"

namespace wl::win32 {

bool Win32Host::Impl::guarded(const std::function<void()>& f) {
    try {
        return run_guarded(f, [this](const std::string& text) { report_error(text); });
    } catch (const ProgramEnded&) {
        // A handler paused in do_events when the program ended: it goes no
        // further, and there is nothing to report.
        return true;
    }
}

void Win32Host::Impl::report_error(const std::string& text) {
    // One box at a time: a failing timer handler must not pile up boxes.
    if (reporting)
        return;
    reporting = true;
    const HWND owner = form != nullptr && ::IsWindowVisible(form) ? form : nullptr;
    ::MessageBoxA(owner, text.c_str(), kProgramName, MB_OK | MB_ICONSTOP);
    reporting = false;
}

void Win32Host::Impl::deliver(const UiEvent& event) {
    if (ended || sink == nullptr)
        return;
    const Nesting running(handlers_running);
    guarded([&] { sink->on_event(event); });
}

void Win32Host::Impl::deliver(const ControlRecord& record, EventKind kind) {
    UiEvent event;
    event.control = record.design.name;
    event.index = record.design.index;
    event.kind = kind;
    deliver(event);
}

bool Win32Host::Impl::query_unload(int reason) {
    if (ended || sink == nullptr)
        return false;
    bool refused = false;
    // A handler that fails keeps the window: closing is never a side effect
    // of an error.
    if (!guarded([&] { refused = sink->on_query_unload(reason); }))
        refused = true;
    return refused;
}

void Win32Host::Impl::mouse_event(ControlRecord& record, EventKind kind, int button, WPARAM wparam,
                                  LPARAM lparam) {
    UiEvent event;
    event.control = record.design.name;
    event.index = record.design.index;
    event.kind = kind;
    event.button = button;
    event.shift = ((wparam & MK_SHIFT) != 0 ? 1 : 0) | ((wparam & MK_CONTROL) != 0 ? 2 : 0) |
                  (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
    // The tray icon's notifications arrive here as WM_MOUSEMOVE whose lParam
    // is the shell's mouse message: x in pixels is that message number.
    const POINT p = point_of(lparam);
    // Multiplied in single precision: x / (float)twips_per_pixel then gives
    // the pixel value back exactly at every DPI (not so for a product
    // rounded from double, at 168 DPI for one).
    event.x = static_cast<float>(p.x) * static_cast<float>(tpp_x);
    event.y = static_cast<float>(p.y) * static_cast<float>(tpp_y);
    deliver(event);
}

}  // namespace wl::win32

// Message routing: the window procedures of the form, the picture boxes and
// the subclassed controls (text boxes, graphical command buttons), each
// message handed to the part of the host that deals with it or turned into
// an event of the program.
#include <windows.h>

#include <optional>

#include "platform/win32/client_point.h"
#include "platform/win32/host_state.h"

namespace wl::win32 {

namespace {

ControlRecord* own_record(HWND hwnd) {
    return reinterpret_cast<ControlRecord*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Runs a window procedure of the host on the record kept with the window;
// nothing may unwind through user32, so it catches everything.
template <class Handle>
LRESULT run_guarded(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, Handle handle) {
    ControlRecord* record = own_record(hwnd);
    if (record == nullptr || record->host == nullptr) {
        return ::DefWindowProcA(hwnd, message, wparam, lparam);
    }
    LRESULT result = 0;
    if (!record->host->events.guarded([&] { result = handle(*record->host, *record); }))
        return 0;
    return result;
}

}  // namespace

LRESULT CALLBACK form_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return run_guarded(hwnd, message, wparam, lparam, [&](Win32Host::Impl& host, ControlRecord&) {
        return host.form_message(hwnd, message, wparam, lparam);
    });
}

LRESULT CALLBACK picture_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return run_guarded(hwnd, message, wparam, lparam,
                       [&](Win32Host::Impl& host, ControlRecord& record) {
                           return host.picture_message(record, hwnd, message, wparam, lparam);
                       });
}

LRESULT CALLBACK subclassed_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return run_guarded(hwnd, message, wparam, lparam,
                       [&](Win32Host::Impl& host, ControlRecord& record) {
                           if (record.original_proc == nullptr) {
                               return ::DefWindowProcA(hwnd, message, wparam, lparam);
                           }
                           return host.subclassed_message(record, hwnd, message, wparam, lparam);
                       });
}

namespace {

// What a handler of the form's messages answers: a result, or nothing to let
// DefWindowProcA have the message too.
using Routed = std::optional<LRESULT>;
using FormHandler = Routed (*)(Win32Host::Impl& host, HWND hwnd, WPARAM wparam, LPARAM lparam);

struct FormRoute {
    UINT message;
    FormHandler handle;
};

HDC dc_of(WPARAM wparam) {
    return reinterpret_cast<HDC>(wparam);
}

// The four colour questions differ only in the message, which the host needs.
template <UINT kMessage>
Routed ctl_colour(Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM lparam) {
    return host.on_ctl_colour(kMessage, dc_of(wparam), reinterpret_cast<HWND>(lparam));
}

Routed form_mouse(Win32Host::Impl& host, UINT message) {
    host.on_form_mouse(message);
    return 0;
}

// The form's messages and the part of the host each goes to.
const FormRoute kFormRoutes[] = {
    {WM_ERASEBKGND,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM) -> Routed {
         host.fill_background(dc_of(wparam));
         return 1;
     }},
    // Themed controls ask for the background behind them.
    {WM_PRINTCLIENT,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM) -> Routed {
         host.fill_background(dc_of(wparam));
         host.paint_form(dc_of(wparam));
         return 0;
     }},
    {WM_PAINT,
     [](Win32Host::Impl& host, HWND hwnd, WPARAM, LPARAM) -> Routed {
         const PaintDc dc(hwnd);
         host.paint_form(dc.get());
         return 0;
     }},
    {WM_CTLCOLORSTATIC, ctl_colour<WM_CTLCOLORSTATIC>},
    {WM_CTLCOLOREDIT, ctl_colour<WM_CTLCOLOREDIT>},
    {WM_CTLCOLORLISTBOX, ctl_colour<WM_CTLCOLORLISTBOX>},
    {WM_CTLCOLORBTN, ctl_colour<WM_CTLCOLORBTN>},
    {WM_DRAWITEM,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM lparam) -> Routed {
         if (wparam == 0)
             return std::nullopt;  // a menu's item
         host.draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
         return TRUE;
     }},
    {WM_COMMAND,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM lparam) -> Routed {
         host.on_command(wparam, lparam);
         return 0;
     }},
    {WM_TIMER,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM) -> Routed {
         host.on_timer(wparam);
         return 0;
     }},
    {WM_LBUTTONDOWN,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) { return form_mouse(host, WM_LBUTTONDOWN); }},
    {WM_LBUTTONUP,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) { return form_mouse(host, WM_LBUTTONUP); }},
    {WM_LBUTTONDBLCLK, [](Win32Host::Impl& host, HWND, WPARAM,
                          LPARAM) { return form_mouse(host, WM_LBUTTONDBLCLK); }},
    {WM_SETCURSOR,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM lparam) -> Routed {
         if (host.on_set_cursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam)))
             return TRUE;
         return std::nullopt;
     }},
    {WM_ACTIVATE,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM) -> Routed {
         if (LOWORD(wparam) == WA_INACTIVE) {
             host.focus.save();
             host.cancel_pointer_presses();
         }
         return std::nullopt;
     }},
    {WM_CANCELMODE,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) -> Routed {
         host.cancel_pointer_presses();
         return std::nullopt;
     }},
    {WM_SETFOCUS,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) -> Routed {
         host.focus.restore();
         return 0;
     }},
    {WM_CLOSE,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) -> Routed {
         host.on_close_request();
         return 0;
     }},
    {WM_QUERYENDSESSION,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) -> Routed {
         return host.events.query_unload(unload_reason::kAppWindows) ? FALSE : TRUE;
     }},
    {WM_ENDSESSION,
     [](Win32Host::Impl& host, HWND, WPARAM wparam, LPARAM) -> Routed {
         if (wparam != 0)
             host.events.deliver(host.controls.form(), EventKind::EndSession);
         return 0;
     }},
    {Win32Host::Impl::kActivateMessage,
     [](Win32Host::Impl& host, HWND hwnd, WPARAM, LPARAM) -> Routed {
         if (::IsWindowVisible(hwnd))
             host.events.deliver(host.controls.form(), EventKind::Activate);
         return 0;
     }},
    {WM_DESTROY,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) -> Routed {
         host.on_form_destroyed();
         return 0;
     }},
    // The controls went with the form.
    {WM_NCDESTROY,
     [](Win32Host::Impl& host, HWND, WPARAM, LPARAM) -> Routed {
         host.controls.unbind_all();
         host.window.gone();
         return std::nullopt;
     }},
};

}  // namespace

LRESULT Win32Host::Impl::form_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (const Routed routed = on_registered_message(message, wparam, lparam))
        return *routed;
    for (const FormRoute& route : kFormRoutes) {
        if (route.message != message)
            continue;
        if (const Routed routed = route.handle(*this, hwnd, wparam, lparam))
            return *routed;
        break;
    }
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

// The messages whose numbers the system gives out at run time.
std::optional<LRESULT> Win32Host::Impl::on_registered_message(UINT message, WPARAM wparam,
                                                              LPARAM lparam) {
    if (tray.taskbar_created(message)) {
        events.deliver(controls.form(), EventKind::TaskbarCreated);
        return 0;
    }
    if (const auto request = single_instance.request_in(message, wparam, lparam)) {
        events.deliver(controls.form(), *request == InstanceRequest::Exit
                                            ? EventKind::ExitRequested
                                            : EventKind::ShowRequested);
        return 0;
    }
    return std::nullopt;
}

void Win32Host::Impl::on_form_destroyed() {
    timers.stop_all();
    // Destroyed from outside: the loop has nothing left to run.
    if (loop.end())
        MessageLoop::quit();
}

// A press and release on the form's background is its Click; the release
// that follows a double-click belongs to the double-click.
void Win32Host::Impl::on_form_mouse(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            form_pressed = true;
            break;
        case WM_LBUTTONUP: {
            const bool click = form_pressed && !after_double_click;
            form_pressed = false;
            after_double_click = false;
            if (click)
                events.deliver(controls.form(), EventKind::Click);
            break;
        }
        case WM_LBUTTONDBLCLK:
            form_pressed = false;
            after_double_click = true;
            events.deliver(controls.form(), EventKind::DblClick);
            break;
        default:
            break;
    }
}

// Alt+F4, the system menu or another program asking the window to close:
// the program decides; when it allows it, the form unloads and the program
// ends.
void Win32Host::Impl::on_close_request() {
    if (events.query_unload(unload_reason::kControlMenu))
        return;
    events.deliver(controls.form(), EventKind::Unload);
    events.deliver(controls.form(), EventKind::Terminate);
    end_program();
}

LRESULT Win32Host::Impl::picture_message(ControlRecord& record, HWND hwnd, UINT message,
                                         WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint_picture(record, hwnd);
            return 0;
        case WM_NCDESTROY:
            controls.unbind_window(hwnd);
            break;
        default:
            if (on_picture_pointer(record, hwnd, message, wparam, lparam))
                return 0;
            break;
    }
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT Win32Host::Impl::subclassed_message(ControlRecord& record, HWND hwnd, UINT message,
                                            WPARAM wparam, LPARAM lparam) {
    const WNDPROC original = record.original_proc;
    if (message == WM_NCDESTROY) {
        controls.unbind_window(hwnd);
        record.original_proc = nullptr;
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return ::CallWindowProcA(original, hwnd, message, wparam, lparam);
    }
    if (record.design.kind == ControlKind::CommandButton) {
        // An owner-drawn button takes the second press of a double-click
        // for BN_DOUBLECLICKED and sends no BN_CLICKED for it, so a click
        // soon after the last one at the same spot (monitoring switched off
        // right after it was switched on) would do nothing. A command button
        // knows no double-click: every press is a press, as on a standard
        // push button.
        if (message == WM_LBUTTONDBLCLK)
            message = WM_LBUTTONDOWN;
        return ::CallWindowProcA(original, hwnd, message, wparam, lparam);
    }
    return text_box_message(record, hwnd, message, wparam, lparam);
}

LRESULT Win32Host::Impl::text_box_message(ControlRecord& record, HWND hwnd, UINT message,
                                          WPARAM wparam, LPARAM lparam) {
    const LRESULT result = ::CallWindowProcA(record.original_proc, hwnd, message, wparam, lparam);
    if (message == WM_LBUTTONDOWN) {
        record.pressed = true;
    } else if (message == WM_LBUTTONUP) {
        const bool click = record.pressed && inside_client(hwnd, lparam);
        record.pressed = false;
        if (click)
            events.deliver(record, EventKind::Click);
    }
    return result;
}

}  // namespace wl::win32

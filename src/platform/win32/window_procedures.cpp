// Message routing: the window procedures of the form, the picture boxes and
// the subclassed controls (text boxes, graphical command buttons), each
// message handed to the part of the host that deals with it or turned into
// an event of the program.
#include <windows.h>

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
    if (!record->host->guarded([&] { result = handle(*record->host, *record); }))
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

LRESULT Win32Host::Impl::form_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == taskbar_created && taskbar_created != 0) {
        deliver(form_record, EventKind::TaskbarCreated);
        return 0;
    }
    if (message == instance_request_message() && on_instance_request(wparam, lparam))
        return 0;
    switch (message) {
        case WM_ERASEBKGND:
            fill_background(reinterpret_cast<HDC>(wparam));
            return 1;
        case WM_PRINTCLIENT:
            // Themed controls ask for the background behind them.
            fill_background(reinterpret_cast<HDC>(wparam));
            paint_form(reinterpret_cast<HDC>(wparam));
            return 0;
        case WM_PAINT: {
            const PaintDc dc(hwnd);
            paint_form(dc.get());
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            return on_ctl_colour(message, reinterpret_cast<HDC>(wparam),
                                 reinterpret_cast<HWND>(lparam));
        case WM_DRAWITEM:
            if (wparam == 0)
                break;
            draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_COMMAND:
            on_command(wparam, lparam);
            return 0;
        case WM_TIMER:
            on_timer(wparam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            on_form_mouse(message);
            return 0;
        case WM_SETCURSOR:
            if (on_set_cursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam)))
                return TRUE;
            break;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                save_focus(hwnd);
                cancel_pointer_presses();
            }
            break;
        case WM_CANCELMODE:
            cancel_pointer_presses();
            break;
        case WM_SETFOCUS:
            restore_focus(hwnd);
            return 0;
        case WM_CLOSE:
            on_close_request();
            return 0;
        case WM_QUERYENDSESSION:
            return query_unload(unload_reason::kAppWindows) ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wparam != 0)
                deliver(form_record, EventKind::EndSession);
            return 0;
        case kActivateMessage:
            if (::IsWindowVisible(hwnd))
                deliver(form_record, EventKind::Activate);
            return 0;
        case WM_DESTROY:
            stop_timers();
            if (!ended) {
                // Destroyed from outside: the loop has nothing left to run.
                ended = true;
                ::PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY:
            // The controls went with the form.
            by_hwnd.clear();
            for (auto& record : records)
                record->hwnd = nullptr;
            form = nullptr;
            form_record.hwnd = nullptr;
            tooltip = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
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
                deliver(form_record, EventKind::Click);
            break;
        }
        case WM_LBUTTONDBLCLK:
            form_pressed = false;
            after_double_click = true;
            deliver(form_record, EventKind::DblClick);
            break;
        default:
            break;
    }
}

// Alt+F4, the system menu or another program asking the window to close:
// the program decides; when it allows it, the form unloads and the program
// ends.
void Win32Host::Impl::on_close_request() {
    if (query_unload(unload_reason::kControlMenu))
        return;
    deliver(form_record, EventKind::Unload);
    deliver(form_record, EventKind::Terminate);
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
            by_hwnd.erase(hwnd);
            record.hwnd = nullptr;
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
        by_hwnd.erase(hwnd);
        record.hwnd = nullptr;
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
            deliver(record, EventKind::Click);
    }
    return result;
}

// Notifications of the standard controls: a click is a click on the button,
// option, label or list it came from.
void Win32Host::Impl::on_command(WPARAM wparam, LPARAM lparam) {
    const auto found = by_id.find(LOWORD(wparam));
    if (found == by_id.end())
        return;  // IDOK / IDCANCEL of the dialog keys
    ControlRecord& record = *found->second;
    const UINT code = HIWORD(wparam);
    if (lparam == 0) {
        if (code == 0 && record.design.kind == ControlKind::MenuItem) {
            deliver(record, EventKind::Click);
        }
        return;
    }
    if (reinterpret_cast<HWND>(lparam) != record.hwnd)
        return;
    switch (record.design.kind) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED)
                deliver(record, EventKind::Click);
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) {
                set_option(record, true);
                deliver(record, EventKind::Click);
            }
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED)
                deliver(record, EventKind::Click);
            if (code == STN_DBLCLK)
                deliver(record, EventKind::DblClick);
            break;
        case ControlKind::ListBox:
        case ControlKind::FileList:
            if (code == LBN_SELCHANGE)
                deliver(record, EventKind::Click);
            if (code == LBN_DBLCLK)
                deliver(record, EventKind::DblClick);
            break;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE)
                deliver(record, EventKind::Click);
            break;
        default:
            break;
    }
}

}  // namespace wl::win32

// The state of the controls that the host keeps in step with their windows:
// caption, shown or hidden, enabled or not, and the one group of option
// buttons.
#include <windows.h>

#include "platform/control_kinds.h"
#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

void Win32Host::Impl::set_text(ControlRecord& record, const std::string& text) {
    if (record.hwnd == nullptr)
        return;  // gone with the form
    if (!::SetWindowTextA(record.hwnd, text.c_str())) {
        throw_last_error("SetWindowTextA",
                         "cannot set the text of " +
                             control_display_name(record.design.name, record.design.index));
    }
    if (record.design.graphical)
        ::InvalidateRect(record.hwnd, nullptr, TRUE);
}

void Win32Host::Impl::set_visible(ControlRecord& record, bool visible) {
    record.visible = visible;
    switch (record.design.kind) {
        case ControlKind::Form: {
            if (!window.exists())
                return;
            const HWND form = window.handle();
            const bool was_visible = (::GetWindowLongPtrA(form, GWL_STYLE) & WS_VISIBLE) != 0;
            ::ShowWindow(form, visible ? SW_SHOW : SW_HIDE);
            // Raised: without it no Activate follows, and the first-run
            // question would never be asked.
            if (visible && !was_visible && !::PostMessageA(form, kActivateMessage, 0, 0))
                throw_last_error("PostMessageA", "cannot activate the main window");
            return;
        }
        case ControlKind::Shape:
            repaint(record);
            return;
        case ControlKind::MenuItem:
            rebuild_menu(*record.parent_menu);
            return;
        case ControlKind::Timer:
        case ControlKind::Menu:
            return;
        default: {
            if (record.hwnd == nullptr)
                return;
            const bool had_focus = !visible && focus.has(record.hwnd);
            ::ShowWindow(record.hwnd, visible ? SW_SHOWNA : SW_HIDE);
            if (had_focus)
                focus.back_to_form();
            return;
        }
    }
}

void Win32Host::Impl::set_enabled(ControlRecord& record, bool enabled) {
    switch (record.design.kind) {
        case ControlKind::Timer:
            // Enabled only once it runs: a timer the system refused reads
            // back as off.
            if (enabled) {
                start_timer(record);
            } else {
                timers.stop(record);
            }
            record.enabled = enabled;
            return;
        case ControlKind::MenuItem:
            record.enabled = enabled;
            rebuild_menu(*record.parent_menu);
            return;
        case ControlKind::Shape:
        case ControlKind::Menu:
            record.enabled = enabled;
            return;
        default: {
            record.enabled = enabled;
            if (record.hwnd == nullptr)
                return;
            const bool had_focus =
                !enabled && record.hwnd != window.handle() && focus.has(record.hwnd);
            ::EnableWindow(record.hwnd, enabled ? TRUE : FALSE);
            if (had_focus)
                focus.back_to_form();
            return;
        }
    }
}

void Win32Host::Impl::set_option(ControlRecord& record, bool value) {
    if (record.hwnd == nullptr)
        return;
    ::SendMessageA(record.hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value)
        return;
    // All option buttons of the form are one group.
    for (const ControlRecord* other : controls.in_order()) {
        if (other != &record && other->design.kind == ControlKind::OptionButton &&
            other->hwnd != nullptr) {
            ::SendMessageA(other->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

}  // namespace wl::win32

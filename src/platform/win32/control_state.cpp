// The state of the controls that the host keeps in step with their windows:
// shown or hidden, enabled or not, and the one group of option buttons.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

ControlRecord* Win32Host::Impl::record_of(HWND hwnd) const {
    const auto found = by_hwnd.find(hwnd);
    return found == by_hwnd.end() ? nullptr : found->second;
}

void Win32Host::Impl::set_visible(ControlRecord& record, bool visible) {
    record.visible = visible;
    switch (record.design.kind) {
        case ControlKind::Form: {
            if (form == nullptr)
                return;
            const bool was_visible = (::GetWindowLongPtrA(form, GWL_STYLE) & WS_VISIBLE) != 0;
            ::ShowWindow(form, visible ? SW_SHOW : SW_HIDE);
            if (visible && !was_visible)
                ::PostMessageA(form, kActivateMessage, 0, 0);
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
            const bool had_focus = !visible && has_focus(record.hwnd);
            ::ShowWindow(record.hwnd, visible ? SW_SHOWNA : SW_HIDE);
            if (had_focus)
                focus_back_to_form();
            return;
        }
    }
}

void Win32Host::Impl::set_enabled(ControlRecord& record, bool enabled) {
    record.enabled = enabled;
    switch (record.design.kind) {
        case ControlKind::Timer:
            if (enabled) {
                start_timer(record);
            } else {
                stop_timer(record);
            }
            return;
        case ControlKind::MenuItem:
            rebuild_menu(*record.parent_menu);
            return;
        case ControlKind::Shape:
        case ControlKind::Menu:
            return;
        default: {
            if (record.hwnd == nullptr)
                return;
            const bool had_focus = !enabled && record.hwnd != form && has_focus(record.hwnd);
            ::EnableWindow(record.hwnd, enabled ? TRUE : FALSE);
            if (had_focus)
                focus_back_to_form();
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
    for (const auto& other : records) {
        if (other.get() != &record && other->design.kind == ControlKind::OptionButton &&
            other->hwnd != nullptr) {
            ::SendMessageA(other->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

}  // namespace wl::win32

// Keyboard focus and Tab: Tab and Shift+Tab follow the shared tab rule over
// the controls in creation order, whatever their stacking order; the form
// keeps the focused control while it is inactive, and a control that can no
// longer take the focus hands it back.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

std::vector<TabStop> Win32Host::Impl::tab_stops() const {
    std::vector<TabStop> stops;
    stops.reserve(records.size());
    for (const auto& record : records) {
        const HWND hwnd = record->hwnd;
        stops.push_back(
            TabStop{record->design.kind, hwnd != nullptr && ::IsWindowVisible(hwnd) != FALSE,
                    hwnd != nullptr && ::IsWindowEnabled(hwnd) != FALSE,
                    record->design.kind == ControlKind::OptionButton && hwnd != nullptr &&
                        ::SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED});
    }
    return stops;
}

bool Win32Host::Impl::handle_tab(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || form == nullptr)
        return false;
    if (msg.hwnd != form && !::IsChild(form, msg.hwnd))
        return false;
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    int current = -1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const HWND hwnd = records[i]->hwnd;
        if (hwnd != nullptr && (hwnd == msg.hwnd || ::IsChild(hwnd, msg.hwnd))) {
            current = static_cast<int>(i);
            break;
        }
    }
    const int next = next_tab_stop(tab_stops(), current, ::GetKeyState(VK_SHIFT) < 0);
    if (next < 0)
        return true;
    const ControlRecord& target = *records[static_cast<std::size_t>(next)];
    ::SetFocus(target.hwnd);
    if (target.design.kind == ControlKind::TextBox) {
        ::SendMessageA(target.hwnd, EM_SETSEL, 0, -1);
    } else if (target.design.kind == ControlKind::ComboBox) {
        ::SendMessageA(target.hwnd, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
    return true;
}

// The form goes inactive: the control with the focus gets it back later.
void Win32Host::Impl::save_focus(HWND form_window) {
    const HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(form_window, focus))
        saved_focus = focus;
}

// The form got the focus: it passes it to the control that had it, if that
// can still take it, else to the first tab stop.
void Win32Host::Impl::restore_focus(HWND form_window) {
    HWND target = nullptr;
    if (saved_focus != nullptr && ::IsWindow(saved_focus) && ::IsChild(form_window, saved_focus) &&
        ::IsWindowVisible(saved_focus) && ::IsWindowEnabled(saved_focus)) {
        target = saved_focus;
    } else {
        const int first = next_tab_stop(tab_stops(), -1, false);
        if (first >= 0)
            target = records[static_cast<std::size_t>(first)]->hwnd;
    }
    if (target != nullptr)
        ::SetFocus(target);
}

bool Win32Host::Impl::has_focus(HWND control) const {
    const HWND focus = ::GetFocus();
    return control != nullptr && focus != nullptr &&
           (focus == control || ::IsChild(control, focus));
}

// Keyboard focus must not stay on, or vanish with, a control that can no
// longer take it (hiding it hands the focus to the form, disabling it drops
// the focus altogether): the form takes it and hands it on.
void Win32Host::Impl::focus_back_to_form() {
    if (form == nullptr)
        return;
    saved_focus = nullptr;
    ::SetFocus(form);
}

}  // namespace wl::win32

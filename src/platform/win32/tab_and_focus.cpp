// Keyboard focus and Tab over the host's controls.
#include "platform/win32/tab_and_focus.h"

#include <windows.h>

namespace wl::win32 {

std::vector<TabStop> KeyboardFocus::tab_stops() const {
    std::vector<TabStop> stops;
    stops.reserve(controls_.in_order().size());
    for (const ControlRecord* record : controls_.in_order()) {
        const HWND hwnd = record->hwnd;
        stops.push_back(
            TabStop{record->design.kind, hwnd != nullptr && ::IsWindowVisible(hwnd) != FALSE,
                    hwnd != nullptr && ::IsWindowEnabled(hwnd) != FALSE,
                    record->design.kind == ControlKind::OptionButton && hwnd != nullptr &&
                        ::SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED});
    }
    return stops;
}

// The place in the tab order of the control that is, or holds, the window.
int KeyboardFocus::index_of(HWND window) const {
    const auto& order = controls_.in_order();
    for (std::size_t i = 0; i < order.size(); ++i) {
        const HWND hwnd = order[i]->hwnd;
        if (hwnd != nullptr && (hwnd == window || ::IsChild(hwnd, window)))
            return static_cast<int>(i);
    }
    return -1;
}

bool KeyboardFocus::handle_tab(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !window_.holds(msg.hwnd))
        return false;
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    const int next = next_tab_stop(tab_stops(), index_of(msg.hwnd), ::GetKeyState(VK_SHIFT) < 0);
    if (next < 0)
        return true;
    const ControlRecord& target = *controls_.in_order()[static_cast<std::size_t>(next)];
    ::SetFocus(target.hwnd);
    if (target.design.kind == ControlKind::TextBox) {
        ::SendMessageA(target.hwnd, EM_SETSEL, 0, -1);
    } else if (target.design.kind == ControlKind::ComboBox) {
        ::SendMessageA(target.hwnd, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
    return true;
}

void KeyboardFocus::save() {
    const HWND focus = ::GetFocus();
    if (focus != nullptr && window_.holds(focus) && focus != window_.handle())
        saved_ = focus;
}

void KeyboardFocus::restore() {
    HWND target = nullptr;
    if (saved_ != nullptr && ::IsWindow(saved_) && window_.holds(saved_) &&
        saved_ != window_.handle() && ::IsWindowVisible(saved_) && ::IsWindowEnabled(saved_)) {
        target = saved_;
    } else {
        const int first = next_tab_stop(tab_stops(), -1, false);
        if (first >= 0)
            target = controls_.in_order()[static_cast<std::size_t>(first)]->hwnd;
    }
    if (target != nullptr)
        ::SetFocus(target);
}

bool KeyboardFocus::has(HWND control) const {
    const HWND focus = ::GetFocus();
    return control != nullptr && focus != nullptr &&
           (focus == control || ::IsChild(control, focus));
}

// Hiding a control hands the focus to the form, disabling it drops the
// focus altogether: either way the form takes it and hands it on.
void KeyboardFocus::back_to_form() {
    if (!window_.exists())
        return;
    saved_ = nullptr;
    ::SetFocus(window_.handle());
}

}  // namespace wl::win32

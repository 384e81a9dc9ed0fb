// The user's pointer on the simulated desktop: presses, moves and releases
// routed to the window holding the capture or under the pointer, and
// delivered under the shared press rule.
#include <utility>

#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_control.h"

namespace wl::sim {

void SimDesktop::mouse_event(SimControl& control, EventKind kind, int button, Point screen) {
    UiEvent event{control.design().name, control.design().index, kind};
    event.button = button;
    if (exists(control.hwnd())) {
        const Rect& r = window(control.hwnd()).rect;
        event.x = static_cast<float>((screen.x - r.left) * tppx_);
        event.y = static_cast<float>((screen.y - r.top) * tppy_);
    }
    deliver(event);
}

void SimDesktop::pointer_down(Point screen, int button) {
    cursor_ = screen;
    buttons_down_ |= button;
    const Hwnd target = capture_ != 0 ? capture_ : hit_test(screen);
    SimControl* control = control_of_window(target);
    if (control != nullptr && control->kind() == ControlKind::PictureBox) {
        if (control->state().press.press(button) || capture_ != target) {
            move_capture(target);
        }
        mouse_event(*control, EventKind::MouseDown, button, screen);
        return;
    }
    pressed_window_ = target;
}

void SimDesktop::pointer_move(Point screen) {
    cursor_ = screen;
    // With no button down the capture gets only the moves over the
    // program's own windows; another program's window gets its own.
    Hwnd target = hit_test(screen);
    if (capture_ != 0 && (buttons_down_ != 0 || control_of_window(target) != nullptr)) {
        target = capture_;
    }
    SimControl* control = control_of_window(target);
    if (control != nullptr && control->kind() == ControlKind::PictureBox) {
        mouse_event(*control, EventKind::MouseMove, buttons_down_, screen);
    }
}

void SimDesktop::pointer_up(Point screen, int button) {
    cursor_ = screen;
    buttons_down_ &= ~button;
    const Hwnd target = capture_ != 0 ? capture_ : hit_test(screen);
    SimControl* control = control_of_window(target);
    if (control != nullptr && control->kind() == ControlKind::PictureBox) {
        if (!control->state().press.release(button)) {
            return;  // pressed elsewhere: not this box's release
        }
        const bool over = hit_test(screen) == target;
        mouse_event(*control, EventKind::MouseUp, button, screen);
        if (!control->state().press.held() && capture_ == target) {
            move_capture(0);
        }
        if (button == 1 && over) {
            deliver(UiEvent{control->design().name, control->design().index, EventKind::Click});
        }
        return;
    }
    const Hwnd pressed = std::exchange(pressed_window_, 0);
    if (button != 1 || pressed != target || target == 0) {
        return;
    }
    if (control != nullptr) {
        deliver(UiEvent{control->design().name, control->design().index, EventKind::Click});
    } else if (impl_->form != nullptr && target == impl_->form->hwnd()) {
        deliver(UiEvent{impl_->form_name, -1, EventKind::Click});
    }
}

void SimDesktop::take_capture(Hwnd other) {
    move_capture(other);
}

void SimDesktop::move_capture(Hwnd window) {
    const Hwnd previous = std::exchange(capture_, window);
    if (previous == window) {
        return;
    }
    SimControl* control = control_of_window(previous);
    if (control != nullptr && control->state().press.lose_capture()) {
        deliver(UiEvent{control->design().name, control->design().index, EventKind::LostCapture});
    }
}

}  // namespace wl::sim

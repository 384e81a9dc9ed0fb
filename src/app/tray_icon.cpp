#include "app/tray_icon.h"

#include "app/systray.h"

namespace wl {

TrayIcon::TrayIcon(Shell& shell, const Control& Picture1, Control& retry_timer)
    : shell_(shell), picture_(Picture1), retry_timer_(retry_timer) {}

void TrayIcon::add() {
    wanted_ = true;
    offer();
}

void TrayIcon::remove() {
    wanted_ = false;
    present_ = false;
    keep_retrying(false);
    RemoveTrayIcon(shell_, picture_);
}

void TrayIcon::retry() {
    if (!wanted_ || present_) {
        keep_retrying(false);
        return;
    }
    offer();
    // An add the busy shell timed out on may have been carried out all the
    // same; then only a change of the icon finds it there.
    if (!present_)
        present_ = shell_.notify_icon(kNimModify, tray_record_for_add(shell_, picture_));
    keep_retrying(!present_);
}

void TrayIcon::taskbar_restarted() {
    present_ = false;
    if (wanted_)
        offer();
}

void TrayIcon::offer() {
    present_ = AddTrayIcon(shell_, picture_);
    keep_retrying(!present_);
}

void TrayIcon::keep_retrying(bool on) {
    if (retry_timer_.enabled() != on)
        retry_timer_.set_enabled(on);
}

}  // namespace wl

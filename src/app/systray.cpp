#include "app/systray.h"

#include <cstring>

#include "platform/host_strings.h"

namespace wl {

TrayRecord tray_record_for_add(const Shell& shell, const Control& Picture1) {
    TrayRecord r;
    r.size = shell.tray_record_size();
    r.window = Picture1.hwnd();
    r.id = kTrayIconId;
    r.flags = 7;  // message, icon and tip
    r.callback_message = kTrayCallbackMessage;
    r.icon = Picture1.picture_handle();
    std::string tip = std::string(kTrayTip) + '\0';
    tip.resize(r.tip.size(), ' ');
    std::memcpy(r.tip.data(), tip.data(), r.tip.size());
    return r;
}

TrayRecord tray_record_for_remove(const Shell& shell, const Control& Picture1) {
    TrayRecord r;
    r.size = shell.tray_record_size();
    r.window = Picture1.hwnd();
    r.id = kTrayIconId;
    return r;
}

bool AddTrayIcon(Shell& shell, const Control& Picture1) {
    return shell.notify_icon(kNimAdd, tray_record_for_add(shell, Picture1));
}

void RemoveTrayIcon(Shell& shell, const Control& Picture1) {
    shell.notify_icon(kNimDelete, tray_record_for_remove(shell, Picture1));
}

void SetTopmost(WindowSystem& windows, const Host& host, const FormWindow& form, bool topmost) {
    const double tx = host.twips_per_pixel_x();
    const double ty = host.twips_per_pixel_y();
    const int x = text::to_int16_rounded(form.left_twips() / tx);
    const int y = text::to_int16_rounded(form.top_twips() / ty);
    const int cx = text::to_int16_rounded(form.width_twips() / tx);
    const int cy = text::to_int16_rounded(form.height_twips() / ty);
    windows.set_window_pos(form.hwnd(), topmost ? kHwndTopmost : kHwndNoTopmost, x, y, cx, cy, 0);
}

}  // namespace wl

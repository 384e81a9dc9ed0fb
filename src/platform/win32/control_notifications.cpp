// Notifications of the standard controls (WM_COMMAND): a click is a click on
// the button, option, label or list it came from, a menu command a click on
// its item.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

namespace {

struct Notification {
    ControlKind kind;
    UINT code;
    EventKind event;
};

constexpr Notification kNotifications[] = {
    {ControlKind::CommandButton, BN_CLICKED, EventKind::Click},
    {ControlKind::OptionButton, BN_CLICKED, EventKind::Click},
    {ControlKind::Label, STN_CLICKED, EventKind::Click},
    {ControlKind::Label, STN_DBLCLK, EventKind::DblClick},
    {ControlKind::ListBox, LBN_SELCHANGE, EventKind::Click},
    {ControlKind::ListBox, LBN_DBLCLK, EventKind::DblClick},
    {ControlKind::FileList, LBN_SELCHANGE, EventKind::Click},
    {ControlKind::FileList, LBN_DBLCLK, EventKind::DblClick},
    {ControlKind::ComboBox, CBN_SELCHANGE, EventKind::Click},
};

}  // namespace

void Win32Host::Impl::on_command(WPARAM wparam, LPARAM lparam) {
    ControlRecord* found = controls.with_id(LOWORD(wparam));
    if (found == nullptr)
        return;  // IDOK / IDCANCEL of the dialog keys
    ControlRecord& record = *found;
    const UINT code = HIWORD(wparam);
    if (lparam == 0) {
        if (code == 0 && record.design.kind == ControlKind::MenuItem)
            events.deliver(record, EventKind::Click);
        return;
    }
    if (reinterpret_cast<HWND>(lparam) != record.hwnd)
        return;
    for (const Notification& notification : kNotifications) {
        if (notification.kind != record.design.kind || notification.code != code)
            continue;
        // A click on an option button chooses it before its Click event.
        if (record.design.kind == ControlKind::OptionButton)
            set_option(record, true);
        events.deliver(record, notification.event);
    }
}

}  // namespace wl::win32

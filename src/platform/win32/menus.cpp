// Pop-up menus: each Menu is a pop-up menu rebuilt from its items whenever
// one of them changes, and pops up at the pointer until the user chooses or
// dismisses it.
#include <windows.h>

#include "platform/win32/host_state.h"

namespace wl::win32 {

void Win32Host::Impl::rebuild_menu(ControlRecord& menu) {
    const HMENU handle = menu.menu.get();
    if (handle == nullptr)
        return;
    // Keep the check marks the user cannot change but the menu holds.
    for (ControlRecord* item : menu.items) {
        const UINT state = ::GetMenuState(handle, static_cast<UINT>(item->id), MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1))
            item->checked = (state & MF_CHECKED) != 0;
    }
    while (::GetMenuItemCount(handle) > 0)
        ::RemoveMenu(handle, 0, MF_BYPOSITION);
    for (const ControlRecord* item : menu.items) {
        if (!item->visible)
            continue;
        const auto id = static_cast<UINT_PTR>(item->id);
        if (item->design.text == "-") {
            ::AppendMenuA(handle, MF_SEPARATOR, id, nullptr);
        } else {
            ::AppendMenuA(handle,
                          MF_STRING | (item->checked ? MF_CHECKED : MF_UNCHECKED) |
                              (item->enabled ? MF_ENABLED : MF_GRAYED),
                          id, item->design.text.c_str());
        }
    }
}

void Win32Host::Impl::popup_menu(ControlRecord& menu) {
    stop_if_ended();
    if (ended || form == nullptr || !menu.menu)
        return;
    // The usual dance for a menu of a (possibly hidden) tray window: be the
    // foreground window so the menu closes when the user clicks elsewhere.
    ::SetForegroundWindow(form);
    POINT at{0, 0};
    ::GetCursorPos(&at);
    const auto chosen = static_cast<int>(::TrackPopupMenu(
        menu.menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y,
        0, form, nullptr));
    ::PostMessageA(form, WM_NULL, 0, 0);
    const auto found = by_id.find(chosen);
    if (chosen != 0 && found != by_id.end() &&
        found->second->design.kind == ControlKind::MenuItem) {
        deliver(*found->second, EventKind::Click);
    }
    // "Exit" chosen, or the end came while the menu was open.
    stop_if_ended();
}

}  // namespace wl::win32

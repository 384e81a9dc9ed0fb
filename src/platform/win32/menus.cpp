// Pop-up menus: each Menu is a pop-up menu rebuilt from its items whenever
// one of them changes, and pops up at the pointer until the user chooses or
// dismisses it.
#include <windows.h>

#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

namespace {

// Raised: a menu without one of its items would offer less than it says.
void append_item(HMENU menu, const ControlRecord& item) {
    const auto id = static_cast<UINT_PTR>(item.id);
    const bool appended =
        item.design.text == "-"
            ? ::AppendMenuA(menu, MF_SEPARATOR, id, nullptr) != FALSE
            : ::AppendMenuA(menu,
                            MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) |
                                (item.enabled ? MF_ENABLED : MF_GRAYED),
                            id, item.design.text.c_str()) != FALSE;
    if (!appended)
        throw_last_error("AppendMenuA", "cannot put " + item.design.name + " in its menu");
}

}  // namespace

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
        if (item->visible)
            append_item(handle, *item);
    }
}

void Win32Host::Impl::popup_menu(ControlRecord& menu) {
    loop.stop_if_ended();
    if (loop.ended() || !window.exists() || !menu.menu)
        return;
    const HWND form = window.handle();
    // The usual dance for a menu of a (possibly hidden) tray window: be the
    // foreground window so the menu closes when the user clicks elsewhere.
    // Handled: refused, the menu still opens, it only stays open until a
    // choice or Esc.
    ::SetForegroundWindow(form);
    POINT at{0, 0};
    // Handled: without the pointer's place the menu opens at the corner.
    ::GetCursorPos(&at);
    // Handled: 0 is a dismissal and a failure alike; either way nothing is
    // chosen.
    const auto chosen = static_cast<int>(::TrackPopupMenu(
        menu.menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y,
        0, form, nullptr));
    ::PostMessageA(form, WM_NULL, 0, 0);
    ControlRecord* item = chosen != 0 ? controls.with_id(chosen) : nullptr;
    if (item != nullptr && item->design.kind == ControlKind::MenuItem)
        events.deliver(*item, EventKind::Click);
    // "Exit" chosen, or the end came while the menu was open.
    loop.stop_if_ended();
}

}  // namespace wl::win32

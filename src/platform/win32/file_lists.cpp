// File lists: the names of their folder's files that match their pattern,
// read again on demand.
#include <windows.h>

#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

void Win32Host::Impl::refresh_file_list(ControlRecord& list) {
    const std::vector<std::string> names = files.list_files(list.folder, list.design.pattern);
    if (list.hwnd == nullptr)
        return;
    ::SendMessageA(list.hwnd, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list.hwnd, LB_RESETCONTENT, 0, 0);
    bool full = false;
    for (const std::string& name : names) {
        const LRESULT added =
            ::SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        full = full || added == LB_ERR || added == LB_ERRSPACE;
    }
    ::SendMessageA(list.hwnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list.hwnd, nullptr, TRUE);
    // Raised: a profile missing from the list could not be chosen.
    if (full) {
        throw Win32Error("LB_ADDSTRING", "cannot list every file of " + list.folder,
                         ERROR_NOT_ENOUGH_MEMORY);
    }
}

}  // namespace wl::win32

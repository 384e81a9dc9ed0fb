// Shell on shell32: the tray icon and ShellExecuteA.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win32/handles.h"
#include "platform/win32/win32_shell.h"

namespace wl::win32 {

// The version-1 record ends after a 64-byte tip; the later layout only has a
// longer szTip, whose first 64 bytes are that tip.
static_assert(sizeof(TrayRecord::tip) == 64 && sizeof(NOTIFYICONDATAA::szTip) >= 64);
static_assert(NOTIFYICONDATAA_V1_SIZE == offsetof(NOTIFYICONDATAA, szTip) + 64);

std::uint32_t Win32Shell::tray_record_size() const {
    return static_cast<std::uint32_t>(NOTIFYICONDATAA_V1_SIZE);
}

bool Win32Shell::notify_icon(std::uint32_t action, const TrayRecord& record) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = record.size;
    data.hWnd = to_hwnd(record.window);
    data.uID = record.id;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callback_message;
    data.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(record.icon));
    std::copy(record.tip.begin(), record.tip.end(), data.szTip);
    return ::Shell_NotifyIconA(action, &data) != FALSE;
}

std::intptr_t Win32Shell::shell_execute(Hwnd owner, const std::optional<std::string>& verb,
                                        const std::string& file,
                                        const std::optional<std::string>& parameters,
                                        const std::string& directory, int show) {
    const HINSTANCE result =
        ::ShellExecuteA(to_hwnd(owner), verb ? verb->c_str() : nullptr, file.c_str(),
                        parameters ? parameters->c_str() : nullptr, directory.c_str(), show);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace wl::win32

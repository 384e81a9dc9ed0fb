// wendlock.exe: builds the real platform and runs the program on it.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/program.h"
#include "platform/handler_guard.h"
#include "platform/program_name.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    // The manifest declares DPI awareness too; this covers a stripped one.
    ::SetProcessDPIAware();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    // A failure to start (the window system refusing a window, say) is told
    // like any other error that escapes the program's work.
    int exit_code = 1;
    wl::run_guarded(
        [&] {
            wl::win32::Win32WindowSystem windows;
            wl::win32::Win32Shell shell;
            wl::win32::Win32FileSystem files;
            wl::win32::Win32Host host(files);
            wl::Platform platform{windows, shell, files, host};
            exit_code = wl::run_program(platform, arguments != nullptr ? arguments : "");
        },
        [](const std::string& text) {
            ::MessageBoxA(nullptr, text.c_str(), wl::kProgramName, MB_OK | MB_ICONSTOP);
        });
    return exit_code;
}

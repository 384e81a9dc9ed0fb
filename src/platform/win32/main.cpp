// wendlock.exe: builds the real platform and runs the program on it.
#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "app/program.h"
#include "platform/program_name.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    // The manifest declares DPI awareness too; this covers a stripped one.
    ::SetProcessDPIAware();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    try {
        wl::win32::Win32WindowSystem windows;
        wl::win32::Win32Shell shell;
        wl::win32::Win32FileSystem files;
        wl::win32::Win32Host host(files);
        wl::Platform platform{windows, shell, files, host};
        return wl::run_program(platform, arguments != nullptr ? arguments : "");
    } catch (const std::exception& e) {
        ::MessageBoxA(nullptr, e.what(), wl::kProgramName, MB_OK | MB_ICONSTOP);
    } catch (...) {
        ::MessageBoxA(nullptr, "Unknown error", wl::kProgramName, MB_OK | MB_ICONSTOP);
    }
    return 1;
}

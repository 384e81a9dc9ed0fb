// Starting another program from a command line (Notepad on a profile),
// without waiting for it.
#include <windows.h>

#include "platform/run_time_errors.h"
#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

void Win32Host::Impl::start_program(const std::string& command_line, int show) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    std::string line = command_line;  // CreateProcessA may write into it
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        // Raised as the runtime's "File not found", which the program
        // reports, with what the system said.
        const DWORD code = ::GetLastError();
        throw run_time_error(err::kFileNotFound,
                             command_line + " (CreateProcessA failed with system error " +
                                 std::to_string(code) + ": " + system_error_text(code) + ")");
    }
    const UniqueHandle process_handle(process.hProcess);
    const UniqueHandle thread_handle(process.hThread);
}

}  // namespace wl::win32

#include "platform/win32/system_error.h"

namespace wl::win32 {

std::string system_error_text(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer != nullptr ? std::string(buffer, length) : "";
    if (buffer != nullptr)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "unknown error" : text;
}

Win32Error::Win32Error(const std::string& call, const std::string& what_failed, DWORD code)
    : std::runtime_error(what_failed + ": " + call + " failed with system error " +
                         std::to_string(code) + ": " + system_error_text(code)),
      call_(call),
      code_(code) {}

void throw_last_error(const std::string& call, const std::string& what_failed) {
    throw Win32Error(call, what_failed, ::GetLastError());
}

}  // namespace wl::win32

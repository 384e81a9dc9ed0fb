// Failures of Win32 calls, reported with the call's name, the system's error
// code and its text, so that whoever reads the message can tell why.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace wl::win32 {

// The system's own wording of an error code, without its closing line break;
// "unknown error" when it has none.
std::string system_error_text(DWORD code);

// "<what failed>: <call> failed with system error <code>: <its text>"
class Win32Error : public std::runtime_error {
  public:
    Win32Error(const std::string& call, const std::string& what_failed, DWORD code);
    const std::string& call() const { return call_; }
    DWORD code() const { return code_; }

  private:
    std::string call_;
    DWORD code_;
};

// Throws Win32Error for the calling thread's last error after `call` failed.
[[noreturn]] void throw_last_error(const std::string& call, const std::string& what_failed);

}  // namespace wl::win32

// One running instance per program folder: a named mutex per folder, held by
// the instance's thread until it ends, and a registered message that a later
// start broadcasts to ask that instance to show itself or to end.
#include <windows.h>

#include <cstdio>

#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

namespace {

constexpr const char* kRequestMessage = "Wendlock.RunningInstanceRequest";

// The folder's path as the file system compares it (without regard to
// letter case), reduced to 32 bits (FNV-1a).
std::uint32_t folder_key(const std::string& folder) {
    std::uint32_t hash = 2166136261u;
    for (char c : folder) {
        if (c == '/')
            c = '\\';
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// Per user session, like the windows the request goes to.
std::string mutex_name(const std::string& folder) {
    char name[64];
    std::snprintf(name, sizeof name, "Local\\Wendlock-%08X", folder_key(folder));
    return name;
}

}  // namespace

UINT Win32Host::Impl::instance_request_message() {
    static const UINT message = ::RegisterWindowMessageA(kRequestMessage);
    return message;
}

bool Win32Host::Impl::claim_program_folder(const std::string& folder) {
    // Owned by this thread from the start, so that a later start can wait
    // for this instance's end on it.
    const HANDLE mutex = ::CreateMutexA(nullptr, TRUE, mutex_name(folder).c_str());
    // An instance running as administrator holds a mutex this one may not
    // open: that is a running instance too.
    if (mutex == nullptr && ::GetLastError() == ERROR_ACCESS_DENIED)
        return false;
    if (mutex == nullptr)
        throw_last_error("cannot claim the program folder " + folder);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    instance_mutex.reset(mutex);
    instance_key = folder_key(folder);
    return true;
}

void Win32Host::Impl::ask_running_instance(const std::string& folder, InstanceRequest request) {
    // The running instance may bring its window to the front.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::PostMessageA(HWND_BROADCAST, instance_request_message(), folder_key(folder),
                   request == InstanceRequest::Exit ? 1 : 0);
}

bool Win32Host::Impl::wait_until_folder_free(const std::string& folder, int timeout_ms) {
    const UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, mutex_name(folder).c_str()));
    if (!mutex)
        return ::GetLastError() != ERROR_ACCESS_DENIED;  // nobody holds it, or one we cannot see
    const DWORD waited = ::WaitForSingleObject(mutex.get(), static_cast<DWORD>(timeout_ms));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return false;
    ::ReleaseMutex(mutex.get());
    return true;
}

bool Win32Host::Impl::on_instance_request(WPARAM key, LPARAM request) {
    if (!instance_mutex || static_cast<std::uint32_t>(key) != instance_key)
        return false;  // another folder's instance is meant
    deliver(form_record, request == 1 ? EventKind::ExitRequested : EventKind::ShowRequested);
    return true;
}

}  // namespace wl::win32

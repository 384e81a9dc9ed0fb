// One running instance per program folder.
#include "platform/win32/single_instance.h"

#include <cstdio>

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

SingleInstance::SingleInstance() : request_message_(::RegisterWindowMessageA(kRequestMessage)) {
    // Raised: without it a second start could neither show nor end this one.
    if (request_message_ == 0)
        throw_last_error("RegisterWindowMessageA", "cannot register the instance request");
}

bool SingleInstance::claim(const std::string& folder) {
    // Owned by this thread from the start, so that a later start can wait
    // for this instance's end on it.
    const HANDLE mutex = ::CreateMutexA(nullptr, TRUE, mutex_name(folder).c_str());
    // An instance running as administrator holds a mutex this one may not
    // open: that is a running instance too.
    if (mutex == nullptr && ::GetLastError() == ERROR_ACCESS_DENIED)
        return false;
    if (mutex == nullptr)
        throw_last_error("CreateMutexA", "cannot claim the program folder " + folder);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        // Opened, not created: the running instance owns it, not this one.
        ::CloseHandle(mutex);
        return false;
    }
    mutex_ = OwnedMutex(mutex);
    key_ = folder_key(folder);
    return true;
}

void SingleInstance::ask(const std::string& folder, InstanceRequest request) const {
    // Handled: the running instance may bring its window to the front, or
    // not; the request reaches it either way.
    ::AllowSetForegroundWindow(ASFW_ANY);
    if (!::PostMessageA(HWND_BROADCAST, request_message_, folder_key(folder),
                        request == InstanceRequest::Exit ? 1 : 0)) {
        throw_last_error("PostMessageA", "cannot reach the running instance");
    }
}

bool SingleInstance::wait_until_free(const std::string& folder, int timeout_ms) {
    const UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, mutex_name(folder).c_str()));
    if (!mutex)
        return ::GetLastError() != ERROR_ACCESS_DENIED;  // nobody holds it, or one we cannot see
    const DWORD waited = ::WaitForSingleObject(mutex.get(), static_cast<DWORD>(timeout_ms));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        return false;
    ::ReleaseMutex(mutex.get());
    return true;
}

std::optional<InstanceRequest> SingleInstance::request_in(UINT message, WPARAM key,
                                                          LPARAM request) const {
    if (message != request_message_ || !mutex_ || static_cast<std::uint32_t>(key) != key_)
        return std::nullopt;  // not a request, or another folder's instance is meant
    return request == 1 ? InstanceRequest::Exit : InstanceRequest::Show;
}

}  // namespace wl::win32

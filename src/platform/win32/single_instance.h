// One running instance per program folder: a named mutex per folder, owned
// by the instance's thread until it ends, and a registered message that a
// later start broadcasts to ask that instance to show itself or to end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"
#include "platform/win32/handles.h"

namespace wl::win32 {

class SingleInstance {
  public:
    SingleInstance();

    // False when a running instance holds the folder.
    bool claim(const std::string& folder);
    void ask(const std::string& folder, InstanceRequest request) const;
    static bool wait_until_free(const std::string& folder, int timeout_ms);
    // The request a message to the form carries for this instance; nullopt
    // for other messages and for requests meant for another folder.
    std::optional<InstanceRequest> request_in(UINT message, WPARAM key, LPARAM request) const;

  private:
    UINT request_message_;
    OwnedMutex mutex_;
    std::uint32_t key_ = 0;
};

}  // namespace wl::win32

// Files on kernel32: private-profile calls, CreateFileA, folder listings and
// the executable's folder.
//
// This header stays free of <windows.h>, so the program's start can include
// it without the Win32 types.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace wl::win32 {

class Win32FileSystem final : public FileSystem {
  public:
    std::string get_private_profile_string(const std::string& section, const std::string& key,
                                           const std::string& default_value, int buffer_chars,
                                           const std::string& path) override;
    std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                      const std::string& path) override;
    bool write_private_profile_string(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& path) override;
    bool create_new_file(const std::string& path) override;
    std::vector<std::string> list_files(const std::string& folder,
                                        const std::string& pattern) override;
    std::string program_folder() override;
    char separator() const override { return '\\'; }
};

}  // namespace wl::win32

// Files: private-profile (INI) calls, the default profile, the program folder.
#pragma once

#include <string>
#include <vector>

namespace wl {

class FileSystem {
  public:
    FileSystem() = default;
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;
    // GetPrivateProfileStringA with a buffer of `buffer_chars`: returns what it
    // copied in front of the closing NUL (at most buffer_chars - 1 characters).
    virtual std::string get_private_profile_string(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& default_value,
                                                   int buffer_chars, const std::string& path) = 0;
    // GetPrivateProfileStringA with no key name: the names of the keys of the
    // section, in file order; empty when the file or the section is missing.
    virtual std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                              const std::string& path) = 0;
    // WritePrivateProfileStringA; false when the write did not happen.
    virtual bool write_private_profile_string(const std::string& section, const std::string& key,
                                              const std::string& value,
                                              const std::string& path) = 0;
    // CreateFileA(CREATE_NEW, write-through) then closed at once: true when a
    // new empty file was made; an existing file is left untouched.
    virtual bool create_new_file(const std::string& path) = 0;
    // Names (without folder) of the files of `folder` matching "*.<ext>" in
    // any letter case, hidden and system files left out, sorted by name
    // without regard to case.
    virtual std::vector<std::string> list_files(const std::string& folder,
                                                const std::string& pattern) = 0;
    // The folder of the executable, without a trailing separator except at a
    // drive root.
    virtual std::string program_folder() = 0;
    virtual char separator() const = 0;
};

}  // namespace wl

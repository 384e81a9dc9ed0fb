// INIFiles: the one way the program reads and writes profile keys. Each call
// is one complete key lookup or key write in the file that FileName names at
// that moment; nothing is cached or held open.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/host.h"

namespace wl {

class INIFiles {
  public:
    static constexpr int kBufferChars = 256;

    INIFiles(FileSystem& files, Host& host) : files_(files), host_(host) {}

    void set_FileName(const std::string& path);
    std::string FileName() const;

    // Sets one key; a write the platform refuses goes unnoticed.
    void WriteINI(const std::string& section, const std::string& key, const std::string& value);

    // Exactly 256 characters: the value (at most 255), one NUL, then spaces.
    // Callers count on that layout (the NUL ends a leading number, and stays
    // the last character once the trailing spaces are trimmed).
    std::string ReadINI(const std::string& section, const std::string& key,
                        const std::string& default_value);

    // That 256-character form of a value as the file gives it back.
    static std::string padded(const std::string& value);

  private:
    FileSystem& files_;
    Host& host_;
    std::string file_name_;
};

}  // namespace wl

// The simulated file system: real files in a folder of the test's choosing.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/sim/call_log.h"

namespace wl::sim {

// Real files through the portable INI implementation, in a folder of the
// test's choosing.
class SimFiles final : public FileSystem {
  public:
    SimFiles(CallLog& log, std::string program_folder)
        : log_(log), folder_(std::move(program_folder)) {}
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
    std::string program_folder() override { return folder_; }
    char separator() const override { return '/'; }

    void set_program_folder(std::string folder) { folder_ = std::move(folder); }
    // The next call of the named operation ("read", "write", "create",
    // "list") throws std::runtime_error, as a failing call would.
    void fail_next(const std::string& operation) { failing_.insert(operation); }

  private:
    void maybe_fail(const std::string& operation);
    CallLog& log_;
    std::string folder_;
    std::set<std::string> failing_;
};

}  // namespace wl::sim

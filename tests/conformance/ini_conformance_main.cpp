// ini_conformance.exe: runs the INI conformance cases against the real
// kernel32 private-profile calls, once directly and once through the
// program's own Win32FileSystem, in a scratch folder under %TEMP%. Prints
// one line per failing case and a summary; exit code 1 on any failure.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "conformance/ini_cases.h"
#include "platform/win32/win32_platform.h"

namespace {

// The kernel32 calls with nothing in between, so a failure can be told
// apart from a fault of the program's own adapter.
class KernelFiles final : public wl::FileSystem {
  public:
    std::string get_private_profile_string(const std::string& section, const std::string& key,
                                           const std::string& default_value, int buffer_chars,
                                           const std::string& path) override {
        std::vector<char> buffer(static_cast<std::size_t>(buffer_chars > 0 ? buffer_chars : 1));
        const DWORD copied =
            GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(),
                                     buffer.data(), static_cast<DWORD>(buffer_chars), path.c_str());
        return std::string(buffer.data(), copied);
    }
    // The listing form of the read call has a buffer protocol of its own; the
    // program's adapter is the one place that speaks it.
    std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                      const std::string& path) override {
        return wl::win32::Win32FileSystem{}.get_private_profile_keys(section, path);
    }
    bool write_private_profile_string(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& path) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()) != FALSE;
    }
    bool create_new_file(const std::string& path) override {
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 7, nullptr, CREATE_NEW,
                        FILE_FLAG_WRITE_THROUGH | FILE_ATTRIBUTE_ARCHIVE, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        CloseHandle(file);
        return true;
    }
    std::vector<std::string> list_files(const std::string&, const std::string&) override {
        return {};
    }
    std::string program_folder() override { return {}; }
    char separator() const override { return '\\'; }
};

int run(const char* label, wl::FileSystem& files, const std::string& folder, int& failed) {
    int passed = 0;
    for (const auto& result : wl::conformance::run_ini_cases(files, folder)) {
        if (result.passed) {
            ++passed;
        } else {
            ++failed;
            std::printf("FAIL [%s] %s: %s\n", label, result.name.c_str(), result.detail.c_str());
        }
    }
    return passed;
}

}  // namespace

int main() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp, length) + "wl_ini_conformance";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::printf("cannot create %s\n", folder.c_str());
        return 2;
    }

    int failed = 0;
    int passed = 0;
    KernelFiles kernel;
    passed += run("kernel32", kernel, folder, failed);
    wl::win32::Win32FileSystem program_files;
    passed += run("Win32FileSystem", program_files, folder, failed);

    std::filesystem::remove_all(folder, ec);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

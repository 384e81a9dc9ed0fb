// The simulated file system: real files in the test's folder, read and
// written through the portable INI implementation, with failures on demand.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/ini/portable_ini.h"
#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_files.h"

namespace wl::sim {
namespace {

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

}  // namespace

std::vector<std::string> list_matching_files(const std::string& folder,
                                             const std::string& pattern) {
    namespace fs = std::filesystem;
    // "*.ini" -> ".ini"; "*" and "*.*" match every name.
    std::string extension;
    if (const auto dot = pattern.rfind('.'); dot != std::string::npos && pattern != "*.*") {
        extension = lower(pattern.substr(dot));
    }
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return names;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            break;
        }
        std::error_code type_ec;
        if (!it->is_regular_file(type_ec)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') {
            continue;  // hidden
        }
        if (!extension.empty()) {
            const auto dot = name.rfind('.');
            if (dot == std::string::npos || lower(name.substr(dot)) != extension) {
                continue;
            }
        }
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lower(a);
        const std::string lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

void SimFiles::maybe_fail(const std::string& operation) {
    if (failing_.erase(operation) != 0) {
        throw std::runtime_error("simulated failure of " + operation);
    }
}

std::string SimFiles::get_private_profile_string(const std::string& section, const std::string& key,
                                                 const std::string& default_value, int buffer_chars,
                                                 const std::string& path) {
    log_.record("GetPrivateProfileStringA(" + section + "," + key + "," + default_value + "," +
                std::to_string(buffer_chars) + "," + path + ")");
    maybe_fail("read");
    return ini::get_private_profile_string(section, key, default_value, buffer_chars, path);
}

std::vector<std::string> SimFiles::get_private_profile_keys(const std::string& section,
                                                            const std::string& path) {
    log_.record("GetPrivateProfileStringA(" + section + ",<keys>," + path + ")");
    maybe_fail("read");
    return ini::get_private_profile_keys(section, path);
}

bool SimFiles::write_private_profile_string(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& path) {
    log_.record("WritePrivateProfileStringA(" + section + "," + key + "," + value + "," + path +
                ")");
    maybe_fail("write");
    return ini::write_private_profile_string(section, key, value, path);
}

bool SimFiles::create_new_file(const std::string& path) {
    log_.record("CreateFileA(" + path + ")");
    maybe_fail("create");
    std::error_code ec;
    if (path.empty() || std::filesystem::exists(path, ec) || ec) {
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    return static_cast<bool>(out);
}

std::vector<std::string> SimFiles::list_files(const std::string& folder,
                                              const std::string& pattern) {
    log_.record("ListFiles(" + folder + "," + pattern + ")");
    maybe_fail("list");
    return list_matching_files(folder, pattern);
}

}  // namespace wl::sim

#include "profile/ini_files.h"

#include <algorithm>
#include <exception>

#include "profile/error_report.h"

namespace wl {

namespace {
constexpr std::int32_t kIniErrorNumber = 9999;
}

// Every member traps its own failures: the user is told in an "ERROR!" box
// and the caller receives the raised error.

void INIFiles::set_FileName(const std::string& path) {
    try {
        file_name_ = path;
    } catch (const std::exception&) {
        ReportError(host_, kIniErrorNumber, "INIFiles:FileName Property Let");
    }
}

std::string INIFiles::FileName() const {
    try {
        return file_name_;
    } catch (const std::exception&) {
        ReportError(host_, kIniErrorNumber, "INIFiles:FileName Property Get");
    }
}

void INIFiles::WriteINI(const std::string& section, const std::string& key,
                        const std::string& value) {
    try {
        files_.write_private_profile_string(section, key, value, FileName());
    } catch (const AppError&) {
        throw;  // already reported by the member that raised it
    } catch (const std::exception&) {
        ReportError(host_, kIniErrorNumber, "INIFiles:WriteINI Method");
    }
}

std::string INIFiles::ReadINI(const std::string& section, const std::string& key,
                              const std::string& default_value) {
    try {
        return padded(files_.get_private_profile_string(section, key, default_value, kBufferChars,
                                                        FileName()));
    } catch (const AppError&) {
        throw;
    } catch (const std::exception&) {
        ReportError(host_, kIniErrorNumber, "INIFiles:ReadINI Method");
    }
}

std::string INIFiles::padded(const std::string& value) {
    std::string buffer(kBufferChars, ' ');
    const std::size_t n = std::min<std::size_t>(value.size(), kBufferChars - 1);
    buffer.replace(0, n, value, 0, n);
    buffer[n] = '\0';
    return buffer;
}

}  // namespace wl

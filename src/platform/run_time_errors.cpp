#include "platform/run_time_errors.h"

#include "platform/program_name.h"

namespace wl {

std::string error_description(std::int32_t number) {
    switch (number) {
        case err::kOverflow:
            return "Overflow";
        case err::kFileNotFound:
            return "File not found";
        case err::kInvalidPropertyValue:
            return "Invalid property value";
        case err::kNotSupported:
            return "Object doesn't support this property or method";
        default:
            return "Application-defined or object-defined error";
    }
}

AppError run_time_error(std::int32_t number, const std::string& detail) {
    std::string description = error_description(number);
    if (!detail.empty())
        description += ": " + detail;
    return AppError(number, kProgramName, description);
}

std::string run_time_error_message(const std::exception& error) {
    if (const auto* app = dynamic_cast<const AppError*>(&error)) {
        return "Run-time error '" + std::to_string(app->number()) + "':\r\n\r\n" +
               app->description();
    }
    return std::string("Run-time error:\r\n\r\n") + error.what();
}

}  // namespace wl

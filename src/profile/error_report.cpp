#include "profile/error_report.h"

#include <limits>

#include "platform/run_time_errors.h"

namespace wl {

namespace {
// Base of the error numbers that the program's own components raise.
constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
}  // namespace

std::string ErrorText(std::int32_t /*number*/) {
    return "An unknown error has occurred!";
}

void ReportError(Host& host, std::int32_t number, const std::string& source) {
    const std::string description = ErrorText(number);
    host.message_box(
        "Error # " + std::to_string(number) + "\r\n" + description + "\r\n\r\n" + source, "ERROR!",
        mb::kOk | mb::kIconStop);
    // The sum is done in 32-bit signed arithmetic; a number too far below zero
    // overflows, which the host reports as its own overflow error.
    if (number < std::numeric_limits<std::int32_t>::min() - kObjectErrorBase) {
        throw AppError(err::kOverflow, source, error_description(err::kOverflow));
    }
    throw AppError(kObjectErrorBase + number, source, description);
}

}  // namespace wl

// The host's numbered run-time errors and the one way their message is
// worded, for every host and for the program's own error display.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/types.h"

namespace wl {

namespace err {
constexpr std::int32_t kOverflow = 6;
constexpr std::int32_t kFileNotFound = 53;
constexpr std::int32_t kInvalidPropertyValue = 380;
constexpr std::int32_t kNotSupported = 438;  // the object has no such property or method
}  // namespace err

// The host's own description of one of the numbers above.
std::string error_description(std::int32_t number);

// AppError `number` with its description, raised by the host ("Wendlock");
// `detail`, when given, says what failed and follows the description.
AppError run_time_error(std::int32_t number, const std::string& detail = "");

// What the user is shown for an error that escaped a handler:
// "Run-time error '<number>':" and the description, for an AppError; the
// error's own text for anything else.
std::string run_time_error_message(const std::exception& error);

}  // namespace wl

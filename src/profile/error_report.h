// The shared error reporter: tells the user about a failure in a modal
// "ERROR!" box, then passes the error on to whoever called the failing
// operation.
#pragma once

#include <cstdint>
#include <string>

#include "platform/host.h"

namespace wl {

// The description of an error number. The program carries no table of its
// own texts, so every number gets the generic one.
std::string ErrorText(std::int32_t number);

// Shows the box, then raises AppError(0x80040000 + number, source,
// description). Never returns normally.
[[noreturn]] void ReportError(Host& host, std::int32_t number, const std::string& source);

}  // namespace wl

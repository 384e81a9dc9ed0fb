// The program's name as the user reads it: the caption of its own boxes, the
// source of the errors it raises, and (read by CMakeLists.txt) the name in
// its version resource and manifest.
#pragma once

namespace wl {

inline constexpr const char* kProgramName = "Wendlock";

}  // namespace wl
